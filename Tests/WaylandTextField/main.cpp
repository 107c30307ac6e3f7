// SPDX-License-Identifier: GPL-3.0-or-later
// A Wayland client of the tests' own with one text field: every change of its text is written to
// the file named by the first argument, each version on a line of its own.
#include <QApplication>
#include <QFile>
#include <QLineEdit>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return 1;
    }
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("Zemlar Test Field"));
    QObject::connect(&field, &QLineEdit::textChanged, &field,
                     [&log](const QString& text) { log.write(text.toUtf8() + '\n'); });
    field.show();
    return application.exec();
}
