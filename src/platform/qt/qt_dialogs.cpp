// Modal boxes and waits that keep the window alive.
#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>

namespace kelvora::platform {

void QtDialogs::messageBox(const std::string& text) {
    if (beforeWait) {
        beforeWait();
    }
    QMessageBox::information(parent, QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::notice(const std::string& text) {
    auto* box = new QMessageBox(QMessageBox::Information, QApplication::applicationName(),
                                QString::fromStdString(text), QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show(); // no wait: the tick goes on while it is open
}

bool QtDialogs::askYesNo(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent, QString::fromStdString(title),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::beep() {
    QApplication::beep();
}

std::optional<std::string> QtDialogs::openFile(const std::string& title,
                                               const std::string& filter) {
    QString chosen = QFileDialog::getOpenFileName(parent, QString::fromStdString(title), QString(),
                                                  QString::fromStdString(qtFileFilter(filter)));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

void QtDialogs::processEventsWhile(const std::function<bool()>& condition) {
    while (condition()) {
        if (beforeWait) {
            beforeWait();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

std::string qtFileFilter(const std::string& filter) {
    // Pairs of "description|pattern" become "description;;description".
    std::string result;
    std::size_t start = 0;
    bool description = true;
    while (start <= filter.size()) {
        std::size_t bar = filter.find('|', start);
        std::string part =
            filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (description) {
            if (!result.empty()) {
                result += ";;";
            }
            result += part;
        }
        description = !description;
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    return result;
}

} // namespace kelvora::platform
