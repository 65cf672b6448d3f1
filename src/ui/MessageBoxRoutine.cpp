#include "ui/MessageBoxRoutine.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace zentor {

namespace {

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Long file names wrap instead of running off the box's edge.
QString wrappable(const std::string& text)
{
    return QString::fromStdString(wrappableText(text));
}

bool onWindowThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// A box that is not modal; it deletes itself when closed and then runs `closed`.
void showModelessBox(MessageKind kind, const std::string& text, const std::function<void()>& closed)
{
    auto* box = new QMessageBox(iconOf(kind), QString::fromUtf8(messageTitle(kind)),
                                wrappable(text), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed] { closed(); });
    box->show();
}

void queueModelessBox(MessageKind kind, const std::string& text, std::function<void()> closed)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [kind, text, closed = std::move(closed)] { showModelessBox(kind, text, closed); },
        Qt::QueuedConnection);
}

} // namespace

void showMessageBox(MessageKind kind, const std::string& text)
{
    if (!QCoreApplication::instance())
        return;
    if (!onWindowThread()) {
        queueModelessBox(kind, text, {});
        return;
    }
    QMessageBox box(iconOf(kind), QString::fromUtf8(messageTitle(kind)), wrappable(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void showMessageBox(MessageKind kind, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    const std::string text = formatTextV(format, arguments);
    va_end(arguments);
    showMessageBox(kind, text);
}

void MessageBoxSink::postMessage(MessageKind kind, std::string text, std::function<void()> closed)
{
    if (QCoreApplication::instance())
        queueModelessBox(kind, text, std::move(closed));
}

} // namespace zentor
