// The place and source group: fields from the schema rows, checked as they are typed.
#include "ui/qt/place_group.h"

#include "config/settings.h"
#include "sources/place_check.h"
#include "sources/tracking_source.h"
#include "state/kelv.h"
#include "ui/qt/qt_binding.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kelvora::ui {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// An Alt key each (L, U, N, H, C), none of those of the Get started page.
QString mnemonic(QString caption) {
    static const std::pair<const char*, int> keys[] = {
        {"Locator", 0}, {"Latitude", 5}, {"Longitude", 2}, {"Height", 0}, {"Tracking source", 13}};
    for (const auto& [text, at] : keys) {
        if (caption == text) {
            caption.insert(at, '&');
        }
    }
    return caption;
}

} // namespace

PlaceGroup::PlaceGroup(Kelv& k, WindowEvents& events, QWidget* parent)
    : QGroupBox("Place and source", parent), m_k(k), m_events(events) {
    setObjectName("PlaceGroup");
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    int row = 0;
    for (const config::SchemaRow& schema : config::settingsSchema()) {
        if (schema.shownIn != config::ShownIn::PlaceGroup) {
            continue;
        }
        // The first letter is the field's Alt key where no other field has it.
        auto* caption = new QLabel(mnemonic(qs(schema.caption)), this);
        QWidget* field = fieldFor(schema);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(field, row, 1);
        if (!schema.unit.empty()) {
            auto* unit = new QLabel(qs(schema.unit), this);
            unit->setObjectName(qs(schema.key) + "_unit");
            grid->addWidget(unit, row, 2);
        }
        if (schema.key == "Tracking_Source") {
            m_wsjtx = new QLabel(this);
            m_wsjtx->setObjectName("WsjtxFile");
            grid->addWidget(m_wsjtx, row, 3);
            m_useWsjtx = new QPushButton("Use it", this);
            m_useWsjtx->setObjectName("UseWsjtxFile");
            m_useWsjtx->setAutoDefault(false);
            m_useWsjtx->setToolTip("Track from WSJT-X's file: it becomes Path\\Filename");
            connect(m_useWsjtx, &QPushButton::clicked, this, [this] {
                m_events.run([this] { m_k.settings().Filename = wsjtxTrackingFile(); });
            });
            grid->addWidget(m_useWsjtx, row, 4);
        }
        ++row;
    }
    m_check = new QLabel(this);
    m_check->setObjectName("PlaceCheck");
    m_check->setWordWrap(true);
    grid->addWidget(m_check, row++, 0, 1, 5);
    // One line of help: the help of the field being edited.
    m_help = new QLabel(this);
    m_help->setObjectName("PlaceHelp");
    m_help->setWordWrap(true);
    QPalette palette = m_help->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
    m_help->setPalette(palette);
    grid->addWidget(m_help, row, 0, 1, 5);
    grid->setColumnStretch(3, 1);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (const Field& f : m_fields) {
            if (now != nullptr && (now == f.edit || now == f.combo)) {
                m_help->setText(qs(f.row->help));
            }
        }
    });
}

QWidget* PlaceGroup::fieldFor(const config::SchemaRow& row) {
    const char* section = row.section.data();
    const char* key = row.key.data();
    if (row.type == config::ValueType::Choice) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(qs(row.key));
        combo->setToolTip(toQString(config::tooltipOf(row)));
        for (std::string_view item : config::choicesOf(row)) {
            combo->addItem(qs(item));
        }
        m_fields.push_back({&row, nullptr, combo});
        // Only a choice the operator makes is stored: a file without the key stays without it.
        connect(combo, &QComboBox::currentIndexChanged, this, [this, section, key, combo](int) {
            std::string text = combo->currentText().toStdString();
            m_events.run(
                [this, section, key, text] { m_k.settings().setValue(section, key, text); });
        });
        return combo;
    }
    auto* edit = new QLineEdit(this);
    edit->setObjectName(qs(row.key));
    edit->setToolTip(toQString(config::tooltipOf(row)));
    m_fields.push_back({&row, edit, nullptr});
    connect(edit, &QLineEdit::textEdited, this, [this, section, key](const QString& text) {
        std::string value = text.toStdString();
        m_events.run([this, section, key, value] { m_k.settings().setValue(section, key, value); });
    });
    return edit;
}

void PlaceGroup::focusFirst() {
    if (!m_fields.empty() && m_fields.front().edit != nullptr) {
        m_fields.front().edit->setFocus();
    }
}

void PlaceGroup::sync() {
    config::Settings& s = m_k.settings();
    for (const Field& f : m_fields) {
        QString value = toQString(s.value(f.row->section, f.row->key, f.row->defaultText));
        if (f.edit != nullptr && f.edit->text() != value) {
            QSignalBlocker quiet(f.edit);
            f.edit->setText(value);
        } else if (f.combo != nullptr && f.combo->currentText() != value) {
            QSignalBlocker quiet(f.combo);
            int index = f.combo->findText(value, Qt::MatchFixedString); // without case
            f.combo->setCurrentIndex(index);
        }
    }
    showCheck();
}

void PlaceGroup::showCheck() {
    config::Settings& s = m_k.settings();
    PlaceCheck check = checkPlace(s.lookup("Station"), s.lookup("General"), trackedBody(m_k),
                                  m_k.clock.utcSeconds());
    QString text = toQString(check.text);
    if (m_check->text() != text) {
        m_check->setText(text);
        m_check->setStyleSheet(check.ok ? QString() : QString("color: red"));
    }
    bool found = wsjtxTrackingFileFound();
    QString file = found ? QString("WSJT-X's tracking file found")
                         : QString("WSJT-X's tracking file not found");
    if (m_wsjtx->text() != file) {
        m_wsjtx->setText(file);
        m_wsjtx->setToolTip(toQString(wsjtxTrackingFile()));
    }
    m_useWsjtx->setVisible(found && s.Filename != wsjtxTrackingFile());
}

} // namespace kelvora::ui
