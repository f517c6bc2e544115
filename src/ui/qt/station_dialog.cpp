// The "Station" dialog, made from the schema rows shown in it: one widget per key, named after
// it, with its unit and help, and the settings errors shown live.
#include "ui/qt/station_dialog.h"

#include "config/settings_schema.h"
#include "station/station_rules.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvora::ui {

namespace {

QString tooltip(const config::SchemaRow& row) {
    return QString::fromStdString(config::tooltipOf(row));
}

// A value with its unit after it, when it has one.
QLayout* withUnit(QWidget* value, const config::SchemaRow& row, QWidget* parent) {
    auto* line = new QHBoxLayout;
    line->addWidget(value, 1);
    if (!row.unit.empty()) {
        auto* unit = new QLabel(QString::fromStdString(std::string(row.unit)), parent);
        unit->setObjectName(QString::fromStdString(std::string(row.key)) + "_unit");
        line->addWidget(unit);
    }
    return line;
}

} // namespace

StationDialog::StationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Station");
    setWindowTitle("Station");
    auto* form = new QFormLayout;
    // One row per schema row of this dialog: a flag is a check box, every other key a line edit.
    for (const config::SchemaRow& row : config::settingsSchema()) {
        if (row.shownIn != config::ShownIn::StationDialog) {
            continue;
        }
        QString key = QString::fromStdString(std::string(row.key));
        QString caption = QString::fromStdString(std::string(row.caption));
        if (row.type == config::ValueType::Flag) {
            auto* box = new QCheckBox(caption, this);
            box->setObjectName(key);
            box->setToolTip(tooltip(row));
            connect(box, &QCheckBox::toggled, this, [this] { showErrors(); });
            m_checks[std::string(row.key)] = box;
            form->addRow(box);
            continue;
        }
        auto* edit = new QLineEdit(this);
        edit->setObjectName(key);
        edit->setToolTip(tooltip(row));
        connect(edit, &QLineEdit::textChanged, this, [this] { showErrors(); });
        m_edits[std::string(row.key)] = edit;
        QLayout* line = withUnit(edit, row, this);
        if (row.key == "Horizon_File") {
            auto* browse = new QPushButton("Browse...", this);
            browse->setObjectName("Horizon_File_Browse");
            browse->setAutoDefault(false);
            connect(browse, &QPushButton::clicked, this, [this, edit] {
                std::optional<std::string> chosen = m_chooseFile();
                if (chosen) {
                    edit->setText(QString::fromStdString(*chosen));
                }
            });
            line->addWidget(browse);
        }
        form->addRow(caption, line);
    }
    m_chooseFile = [this]() -> std::optional<std::string> {
        QString chosen = QFileDialog::getOpenFileName(this, "Horizon mask file");
        return chosen.isEmpty() ? std::nullopt : std::optional<std::string>(chosen.toStdString());
    };

    m_errors = new QLabel(this);
    m_errors->setObjectName("Errors");
    m_errors->setStyleSheet("color: red");
    m_errors->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName("Ok");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_errors);
    layout->addWidget(buttons);
    setValues({});
}

void StationDialog::setValues(const Values& values) {
    auto text = [&](const std::string& key) {
        auto it = values.find(key);
        return it == values.end() ? std::string(config::schemaRow("Station", key).defaultText)
                                  : it->second;
    };
    for (auto& [key, box] : m_checks) {
        box->setChecked(text(key) == "1");
    }
    for (auto& [key, edit] : m_edits) {
        edit->setText(QString::fromStdString(text(key)));
    }
    showErrors();
}

StationDialog::Values StationDialog::values() const {
    Values out;
    for (const auto& [key, box] : m_checks) {
        out[key] = box->isChecked() ? "1" : "0";
    }
    for (const auto& [key, edit] : m_edits) {
        out[key] = edit->text().toStdString();
    }
    return out;
}

void StationDialog::showErrors() {
    std::vector<std::string> errors = station::parseStationSettings(values()).errors;
    std::string text;
    for (const std::string& e : errors) {
        text += (text.empty() ? "" : "\n") + e;
    }
    m_errors->setText(QString::fromStdString(text));
    m_errors->setVisible(!errors.empty());
    m_ok->setEnabled(errors.empty()); // bad settings would hold the rotor: mend them first
}

} // namespace kelvora::ui
