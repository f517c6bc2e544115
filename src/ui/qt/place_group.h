// The settings dialog's group for the station's place and the tracking source.
#pragma once

#include "config/settings_schema.h"
#include "ui/qt/window_events.h"

#include <QGroupBox>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// Responsibilities:
// - One field per schema row shown in the place group, named after its key, with its caption,
//   unit and help from the row; edits go into the settings record at once.
// - Checks the fields as they are typed: the first bad value is named ("PlaceCheck"), a good
//   place shows where the computed Moon (or Sun) stands now.
// - Says whether WSJT-X's tracking file is there ("WsjtxFile"), and offers to use it.
class PlaceGroup : public QGroupBox {
public:
    PlaceGroup(Kelv& k, WindowEvents& events, QWidget* parent);
    // Brings the fields in line with the record, leaving those that agree untouched.
    void sync();
    // The first field (the locator) takes the keyboard.
    void focusFirst();

private:
    struct Field {
        const config::SchemaRow* row;
        QLineEdit* edit = nullptr;
        QComboBox* combo = nullptr;
    };
    QWidget* fieldFor(const config::SchemaRow& row);
    void showCheck();

    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<Field> m_fields;
    QLabel* m_check = nullptr;
    QLabel* m_wsjtx = nullptr;
    QLabel* m_help = nullptr;
    QPushButton* m_useWsjtx = nullptr;
};

} // namespace kelvora::ui
