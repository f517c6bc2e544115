// The "Station" dialog: one widget per key, named after it, and the settings errors shown live.
#include "ui/qt/station_dialog.h"

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

#include <array>

namespace kelvora::ui {

namespace {

struct Field {
    const char* key;
    const char* caption;
    const char* tip;
};

// Hold_Tx is the check box; every other key is a line edit, in this order.
const std::array<Field, 10> kFields = {{
    {"Move_Seconds", "Move in seconds",
     "Seconds of the minute the rotor may move, e.g. 50-59 or "
     "0-4,30-34; empty for any time"},
    {"Az_Min", "Azimuth from", "Lowest azimuth commanded, degrees"},
    {"Az_Max", "Azimuth to", "Highest azimuth commanded, degrees"},
    {"El_Min", "Elevation from", "Lowest elevation commanded, degrees"},
    {"El_Max", "Elevation to", "Highest elevation commanded, degrees"},
    {"Horizon_File", "Horizon mask file", "Lines of azimuth,elevation; empty for none"},
    {"Move_Threshold", "Move threshold",
     "Degrees the target must move before a new command; 0 "
     "for every change"},
    {"Park_Az", "Park azimuth", "Azimuth of the park position, degrees"},
    {"Park_El", "Park elevation", "Elevation of the park position, degrees"},
    {"Stale_Seconds", "Stale file after s",
     "Seconds without a new time in the tracking file "
     "before the rotor is held; 0 for never"},
}};

std::string defaultOf(std::string_view key) {
    for (const station::KeyDefault& k : station::kStationKeys) {
        if (k.key == key) {
            return std::string(k.defaultText);
        }
    }
    return {};
}

} // namespace

StationDialog::StationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Station");
    setWindowTitle("Station");
    auto* form = new QFormLayout;
    m_holdTx = new QCheckBox("Hold the rotor while transmitting", this);
    m_holdTx->setObjectName("Hold_Tx");
    form->addRow(m_holdTx);
    for (const Field& f : kFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(f.key);
        edit->setToolTip(f.tip);
        connect(edit, &QLineEdit::textChanged, this, [this] { showErrors(); });
        m_edits[f.key] = edit;
        if (std::string_view(f.key) != "Horizon_File") {
            form->addRow(f.caption, edit);
            continue;
        }
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        auto* browse = new QPushButton("Browse...", this);
        browse->setObjectName("Horizon_File_Browse");
        browse->setAutoDefault(false);
        connect(browse, &QPushButton::clicked, this, [this, edit] {
            std::optional<std::string> chosen = m_chooseFile();
            if (chosen) {
                edit->setText(QString::fromStdString(*chosen));
            }
        });
        row->addWidget(browse);
        form->addRow(f.caption, row);
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
        return it == values.end() ? defaultOf(key) : it->second;
    };
    m_holdTx->setChecked(text("Hold_Tx") == "1");
    for (auto& [key, edit] : m_edits) {
        edit->setText(QString::fromStdString(text(key)));
    }
    showErrors();
}

StationDialog::Values StationDialog::values() const {
    Values out;
    out.emplace("Hold_Tx", m_holdTx->isChecked() ? "1" : "0");
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
