// Showing the logic's control state (caption, enabled, visible, colours) on Qt widgets.
#pragma once

#include "state/controls.h"

#include <QColor>
#include <QLocale>
#include <QString>

#include <optional>
#include <string>

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace kelvora::ui {

QColor toQColor(Rgb rgb);
QString toQString(const std::string& text);
// Message texts use a carriage return (alone or before a line feed) as their line break.
QString withLineBreaks(const std::string& text);

// Each apply* touches only what differs, so a sync after every event stays cheap and does not
// disturb a widget the operator is using.
void applyState(QWidget* widget, const Control& control);
void applyLabel(QLabel* label, const Control& control);
// A frequency read-out: a whole number in groups of three ("144.125.000", "144,125,000") is shown
// grouped as the user's locale groups it, so every read-out has one grouping; any other text
// ("-------------") as it is.
void applyFrequencyLabel(QLabel* label, const Control& control);
// A rotor's position read-out: shown with a degree sign while its text is a number (the text the
// logic holds, and every byte, stay without it).
void applyAngleLabel(QLabel* label, const Control& control);
QString localeGroupedFrequency(const QString& text, const QLocale& locale);
void applyButton(QAbstractButton* button, const Control& control);
void applyCheckBox(QCheckBox* box, const Control& control);
void applyLineEdit(QLineEdit* edit, const Control& control);
void applyAction(QAction* action, const Control& control);
// Fore and back colour; an empty colour restores the style's own.
void applyColours(QWidget* widget, const std::optional<Rgb>& fore, const std::optional<Rgb>& back);
// Starts, stops or re-intervals a QTimer to match the model.
void applyTimer(QTimer* timer, const Timer& model);

} // namespace kelvora::ui
