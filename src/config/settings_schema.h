// The newer settings sections, one row per key: the one place that spells a key, its type, its
// default, its range and the words the dialogs show for it. The original sections keep their own
// table (settings.h) and their hand-made dialog.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::config {

enum class ValueType {
    Flag,   // 0 or 1
    Whole,  // a whole number in [low, high]
    Number, // a finite number in [low, high], a point as separator
    Text,   // any one line
    Choice, // one of `choices`, compared without case
    Address // host:port, or a host and a port in two keys
};

// Where a row is edited. A key no code reads yet is Nowhere, so no dialog shows a stub.
// PlaceGroup: the settings dialog's group for the station's place and the tracking source.
enum class ShownIn { Nowhere, StationDialog, HamlibGroup, PlaceGroup };

struct SchemaRow {
    std::string_view section;
    std::string_view key;
    ValueType type = ValueType::Text;
    std::string_view defaultText;
    double low = 0, high = 0; // Whole and Number
    std::string_view choices; // Choice: the items separated by '|'
    std::string_view unit;    // shown after the value, "" for none
    std::string_view caption; // the dialog's label (a check box's text)
    std::string_view help;    // one line, the tooltip
    ShownIn shownIn = ShownIn::Nowhere;
    bool planned = false; // no code reads it yet
};

// Every row, grouped by section in file order.
std::span<const SchemaRow> settingsSchema();
// The row of a key; a key without one is a programming error (std::logic_error).
const SchemaRow& schemaRow(std::string_view section, std::string_view key);
// The items of a Choice row.
std::vector<std::string_view> choicesOf(const SchemaRow& row);
// The text shown for a row in a dialog's tooltip: the help, and the unit and range if any.
std::string tooltipOf(const SchemaRow& row);

// Returns the text stored for a key, or std::nullopt when the file lacks it (its default holds).
using KeyLookup = std::function<std::optional<std::string>(std::string_view key)>;

// A section read once: every accessor checks the value against its row and gives the default
// for a key that is absent or blank. A bad value is named in `errors` in one shape,
// `[Station] Az_Min: "abc" is not a number`, and the accessor gives std::nullopt (flag: false).
class SectionReader {
public:
    SectionReader(std::string_view section, KeyLookup lookup);

    std::string text(std::string_view key) const; // trimmed
    bool flag(std::string_view key);
    std::optional<double> number(std::string_view key);
    std::optional<long long> whole(std::string_view key);
    std::optional<std::string> choice(std::string_view key); // the item as the row spells it
    // Adds a message for `keys` ("Az_Min, Az_Max") in the shape of the others.
    void fail(std::string_view keys, std::string_view what);

    std::vector<std::string> errors;

private:
    const SchemaRow& row(std::string_view key) const;
    std::string m_section;
    KeyLookup m_lookup;
};

// The message shape of a bad setting: `[Section] Key: what`.
std::string settingError(std::string_view section, std::string_view keys, std::string_view what);

} // namespace kelvora::config
