// The settings schema: every default is a valid value of its own row, and a bad value of each
// type is named in the one message shape.
#include "config/settings_schema.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kelvora::config {
namespace {

KeyLookup lookupOf(const std::map<std::string, std::string>& keys) {
    return [keys](std::string_view key) -> std::optional<std::string> {
        auto found = keys.find(std::string(key));
        return found == keys.end() ? std::nullopt : std::optional(found->second);
    };
}

// Reads a key with the accessor of its type; true when that found nothing wrong.
bool readAsItsType(SectionReader& reader, const SchemaRow& row) {
    switch (row.type) {
    case ValueType::Flag:
        reader.flag(row.key);
        break;
    case ValueType::Whole:
        reader.whole(row.key);
        break;
    case ValueType::Number:
        reader.number(row.key);
        break;
    case ValueType::Choice:
        reader.choice(row.key);
        break;
    case ValueType::Text:
    case ValueType::Address:
        reader.text(row.key);
        break;
    }
    return reader.errors.empty();
}

TEST(SettingsSchema, EveryDefaultReadsWithoutErrorAndEveryRowIsComplete) {
    std::set<std::pair<std::string_view, std::string_view>> seen;
    for (const SchemaRow& row : settingsSchema()) {
        std::string name = "[" + std::string(row.section) + "] " + std::string(row.key);
        EXPECT_TRUE(seen.insert({row.section, row.key}).second) << name << " twice";
        EXPECT_FALSE(row.caption.empty()) << name;
        EXPECT_FALSE(row.help.empty()) << name;
        EXPECT_FALSE(row.planned && row.shownIn != ShownIn::Nowhere) << name << " is a stub";
        for (const auto& keys : {std::map<std::string, std::string>{},
                                 {{std::string(row.key), std::string(row.defaultText)}}}) {
            SectionReader reader(row.section, lookupOf(keys));
            EXPECT_TRUE(readAsItsType(reader, row)) << name << ": " << reader.errors.front();
            EXPECT_EQ(reader.text(row.key), row.defaultText) << name;
        }
    }
}

TEST(SettingsSchema, ABadValueOfEachTypeNamesItsKey) {
    const struct {
        const char* section;
        const char* key;
        const char* text;
        const char* message;
    } cases[] = {
        {"Station", "Hold_Tx", "yes", "[Station] Hold_Tx: \"yes\" is neither 0 nor 1"},
        {"Station", "Az_Min", "abc", "[Station] Az_Min: \"abc\" is not a number"},
        {"Station", "El_Max", "12,5", "[Station] El_Max: \"12,5\" is not a number"},
        {"Station", "Az_Max", "361", "[Station] Az_Max: 361 is outside 0..360"},
        {"Station", "Az_Max", "nan", "[Station] Az_Max: \"nan\" is not a number"},
        {"Hamlib", "Server_Port", "45.5", "[Hamlib] Server_Port: \"45.5\" is not a whole number"},
        {"Hamlib", "Server_Port", "70000", "[Hamlib] Server_Port: 70000 is outside 1..65535"},
        {"General", "Tracking_Source", "Moon",
         "[General] Tracking_Source: \"Moon\" is not one of File, Built-in, File, else built-in"},
    };
    for (const auto& c : cases) {
        SectionReader reader(c.section, lookupOf({{c.key, c.text}}));
        EXPECT_FALSE(readAsItsType(reader, schemaRow(c.section, c.key))) << c.key;
        ASSERT_EQ(reader.errors.size(), 1u) << c.key;
        EXPECT_EQ(reader.errors.front(), c.message);
    }
    // A choice is found without case and given as the row spells it; blanks never count.
    SectionReader reader("General", lookupOf({{"Tracking_Source", " built-IN "}}));
    EXPECT_EQ(reader.choice("Tracking_Source"), "Built-in");
    EXPECT_THROW(schemaRow("Station", "No_Such_Key"), std::logic_error);
}

} // namespace
} // namespace kelvora::config
