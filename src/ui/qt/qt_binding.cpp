// Control state onto widgets, changing only what differs.
#include "ui/qt/qt_binding.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

namespace kelvora::ui {

QColor toQColor(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QString withLineBreaks(const std::string& text) {
    QString result = toQString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

void applyState(QWidget* widget, const Control& control) {
    if (widget->isEnabled() != control.enabled) {
        widget->setEnabled(control.enabled);
    }
    // isHidden() is the widget's own flag, independent of whether its window is shown yet.
    if (widget->isHidden() == control.visible) {
        widget->setVisible(control.visible);
    }
    applyColours(widget, control.fore, control.back);
}

void applyLabel(QLabel* label, const Control& control) {
    QString text = withLineBreaks(control.caption);
    if (label->text() != text) {
        label->setText(text);
    }
    applyState(label, control);
}

QString localeGroupedFrequency(const QString& text, const QLocale& locale) {
    static const QRegularExpression grouped(
        QStringLiteral("^\\d{1,3}([.,\\x{a0}\\x{202f} '])\\d{3}(\\1\\d{3})*$"));
    if (!grouped.match(text).hasMatch()) {
        return text;
    }
    QString digits = text;
    digits.remove(QRegularExpression(QStringLiteral("\\D")));
    bool ok = false;
    qlonglong hz = digits.toLongLong(&ok);
    return ok ? locale.toString(hz) : text;
}

void applyFrequencyLabel(QLabel* label, const Control& control) {
    QString text = localeGroupedFrequency(toQString(control.caption), QLocale());
    if (label->text() != text) {
        label->setText(text);
    }
    applyState(label, control);
}

void applyAngleLabel(QLabel* label, const Control& control) {
    static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    QString text = toQString(control.caption);
    if (number.match(text).hasMatch()) {
        text += QChar(0x00B0);
    }
    if (label->text() != text) {
        label->setText(text);
    }
    applyState(label, control);
}

void applyButton(QAbstractButton* button, const Control& control) {
    QString text = toQString(control.caption);
    if (button->text() != text) {
        button->setText(text);
    }
    applyState(button, control);
}

void applyCheckBox(QCheckBox* box, const Control& control) {
    bool checked = control.value == 1;
    if (box->isChecked() != checked) {
        QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
    applyState(box, control);
}

void applyLineEdit(QLineEdit* edit, const Control& control) {
    QString text = toQString(control.caption);
    if (edit->text() != text) {
        QSignalBlocker quiet(edit);
        edit->setText(text);
    }
    applyState(edit, control);
}

void applyAction(QAction* action, const Control& control) {
    QString text = toQString(control.caption);
    if (action->text() != text) {
        action->setText(text);
    }
    // Visibility first: Qt disables a hidden action and re-enables it when it is shown again.
    if (action->isVisible() != control.visible) {
        action->setVisible(control.visible);
    }
    if (action->isEnabled() != control.enabled) {
        action->setEnabled(control.enabled);
    }
}

namespace {

void setRole(QPalette& palette, QPalette::ColorRole role, const std::optional<Rgb>& colour,
             const QPalette& own, bool dimWhenDisabled) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor c = colour ? toQColor(*colour) : own.color(group, role);
        if (colour && dimWhenDisabled && group == QPalette::Disabled) {
            c = c.darker(220); // a disabled read-out keeps its hue but recedes
        }
        palette.setColor(group, role, c);
    }
}

} // namespace

void applyColours(QWidget* widget, const std::optional<Rgb>& fore, const std::optional<Rgb>& back) {
    const QPalette own = QApplication::palette(widget);
    QPalette palette = widget->palette();
    setRole(palette, widget->foregroundRole(), fore, own, true);
    setRole(palette, widget->backgroundRole(), back, own, false);
    if (palette != widget->palette()) {
        widget->setPalette(palette);
    }
    bool fill = back.has_value();
    if (widget->autoFillBackground() != fill) {
        widget->setAutoFillBackground(fill);
    }
}

void applyTimer(QTimer* timer, const Timer& model) {
    int interval = model.interval > 0 ? model.interval : 1;
    if (timer->interval() != interval) {
        timer->setInterval(interval);
    }
    if (model.enabled && model.interval > 0 && !timer->isActive()) {
        timer->start();
    } else if ((!model.enabled || model.interval <= 0) && timer->isActive()) {
        timer->stop();
    }
}

} // namespace kelvora::ui
