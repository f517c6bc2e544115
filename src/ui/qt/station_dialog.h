// The "Station" dialog: edits the texts of the [Station] keys; the caller loads and saves them.
#pragma once

#include <QDialog>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvora::ui {

class StationDialog : public QDialog {
public:
    using Values = std::map<std::string, std::string>;
    // Asks the operator for a horizon file; std::nullopt when cancelled.
    using FileChooser = std::function<std::optional<std::string>()>;

    explicit StationDialog(QWidget* parent = nullptr);

    // Shows the texts; a key that is missing shows its default.
    void setValues(const Values& values);
    // Every key with its text as edited.
    Values values() const;
    // Replaces the file dialog of the browse button (the settings layer's, or a test's).
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

private:
    void showErrors();

    std::map<std::string, QCheckBox*> m_checks;
    std::map<std::string, QLineEdit*> m_edits;
    QLabel* m_errors;
    QPushButton* m_ok;
    FileChooser m_chooseFile;
};

} // namespace kelvora::ui
