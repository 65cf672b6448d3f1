#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QXV Zentor DL"));
    QMainWindow window;
    window.setWindowTitle(QApplication::applicationName());
    window.show();
    return app.exec();
}
