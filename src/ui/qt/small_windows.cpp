// The Doppler-mode window, the timed message box and the About box.
#include "ui/qt/small_windows.h"

#include "radio/vfo_buttons.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_binding.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kelvora::ui {

bool applyVisible(QWidget* window, bool visible) {
    if (window->isHidden() == visible) {
        window->setVisible(visible);
    }
    return visible;
}

ModelDialog::ModelDialog(Kelv& k, WindowEvents& events, QWidget* parent, const char* name,
                         const char* title, const bool& visible, void (*onClose)(Kelv&))
    : QDialog(parent), m_k(k), m_events(events), m_visible(visible), m_onClose(onClose) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);
}

void ModelDialog::sync() {
    for (const std::function<void()>& apply : m_bindings) {
        apply();
    }
    if (applyVisible(this, m_visible) && m_fitWhenShown) {
        adjustSize();
    }
}

void ModelDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_events.run([this] { m_onClose(m_k); });
}

void ModelDialog::reject() {
    close();
}

void ModelDialog::runOnClick(QPushButton* button, void (*procedure)(Kelv&)) {
    connect(button, &QPushButton::clicked, this,
            [this, procedure] { m_events.run([this, procedure] { procedure(m_k); }); });
}

DopplerWindow::DopplerWindow(Kelv& k, WindowEvents& events, QWidget* parent)
    : ModelDialog(k, events, parent, "frmDoppler", "Doppler", k.frmDoppler.visible,
                  frmDoppler_Form_Unload) {
    DopplerForm& f = m_k.frmDoppler;

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel("Doppler tracking", this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSize(headingFont.pointSize() + 2);
    heading->setFont(headingFont);
    layout->addWidget(heading);

    Control* options[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5, &f.Option6};
    for (int mode = 1; mode <= 6; ++mode) {
        Control& control = *options[mode - 1];
        auto* option = new QRadioButton(toQString(control.caption), this);
        option->setObjectName(QString("Option%1").arg(mode));
        // The model holds the selection; the buttons only show it.
        option->setAutoExclusive(false);
        connect(option, &QRadioButton::clicked, this,
                [this, mode] { m_events.run([this, mode] { m_k.frmDoppler.select(mode); }); });
        m_bindings.push_back([option, &control] {
            applyButton(option, control);
            bool on = control.value == 1;
            if (option->isChecked() != on) {
                option->setChecked(on);
            }
        });
        layout->addWidget(option);
    }

    auto* readouts = new QGridLayout;
    readouts->setHorizontalSpacing(6);
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setBold(true);
    struct Readout {
        const char* caption;
        const char* name;
        Control* control;
    };
    const Readout rows[] = {{"RX ", "Doppler_rx", &f.Doppler_rx},
                            {"TX", "Doppler_tx", &f.Doppler_tx},
                            {"My doppler", "Doppler_text", &f.Doppler_text},
                            {"Dx doppler", "Doppler_dx_text", &f.Doppler_dx_text}};
    int row = 0;
    for (const Readout& r : rows) {
        auto* caption = new QLabel(r.caption, this);
        auto* value = new QLineEdit(this);
        value->setObjectName(r.name);
        value->setReadOnly(true);
        value->setFocusPolicy(Qt::NoFocus);
        value->setFont(digits);
        value->setAlignment(Qt::AlignRight);
        value->setMinimumWidth(QFontMetrics(digits).horizontalAdvance("0,000,000,000") + 12);
        Control* control = r.control;
        m_bindings.push_back([value, control] { applyLineEdit(value, *control); });
        readouts->addWidget(caption, row, 0);
        readouts->addWidget(value, row, 1);
        ++row;
    }
    layout->addSpacing(4);
    layout->addLayout(readouts);
    sync();
}

MessageWindow::MessageWindow(Kelv& k, WindowEvents& events, QWidget* parent)
    // The close box acts as "OK", so the error report's wait ends.
    : ModelDialog(k, events, parent, "frmMessage", "Message", k.frmMessage.visible,
                  OKButton_Click) {
    m_fitWhenShown = true;

    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    image->setAlignment(Qt::AlignTop);

    auto* label = new QLabel(this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    label->setMinimumWidth(260);
    label->setTextFormat(Qt::PlainText);
    Control& text = m_k.frmMessage.Label1;
    m_bindings.push_back([label, &text] { applyLabel(label, text); });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    runOnClick(ok, OKButton_Click);

    auto* body = new QHBoxLayout;
    body->addWidget(image);
    body->addSpacing(8);
    body->addWidget(label, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    sync();
}

AboutWindow::AboutWindow(Kelv& k, WindowEvents& events, QWidget* parent)
    : ModelDialog(k, events, parent, "frmAbout1", "About Kelvora - RTX / Linrad",
                  k.frmAbout1.visible, cmdOK_Click) {
    AboutForm& f = m_k.frmAbout1;

    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* description = new QLabel(this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);
    description->setMinimumWidth(280);
    auto* version = new QLabel(this);
    version->setObjectName("lblVersion");
    m_bindings.push_back([description, &f] { applyLabel(description, f.lblDescription); });
    m_bindings.push_back([version, &f] { applyLabel(version, f.lblVersion); });
    auto* licence = new QLabel(this);
    licence->setObjectName("lblLicence");
    licence->setWordWrap(true);
    m_bindings.push_back([licence, &f] { applyLabel(licence, f.lblLicence); });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    runOnClick(ok, cmdOK_Click);

    auto* texts = new QVBoxLayout;
    auto* name = new QLabel("Kelvora - RTX / Linrad", this);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSize(nameFont.pointSize() + 3);
    name->setFont(nameFont);
    texts->addWidget(name);
    texts->addWidget(description);
    texts->addWidget(version);
    texts->addWidget(licence);
    texts->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(10);
    body->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    sync();
}

} // namespace kelvora::ui
