// A tiny program for the single-instance tests: claims the instance named by its
// first argument and prints "first" or "second". The first one then answers:
// "count" -> how many "show" requests it got, "quit" -> "bye" and ends.
// With "--wait" as second argument it prints "ready" and claims only once a line
// arrives on its input, so that several probes can be set off at one moment.
#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    platform::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (argc > 2 && std::strcmp(argv[2], "--wait") == 0) {
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
    }
    if (!instance.Claim(QStringLiteral("show"))) {
        std::printf("second\n");
        return -1;
    }
    std::printf("first\n");
    std::fflush(stdout);

    int shows = 0;
    QObject::connect(&instance, &platform::SingleInstance::MessageReceived, &app,
                     [&](const QString& message, quintptr connection) {
                         if (message == u"show") {
                             ++shows;
                             instance.Reply(connection, QStringLiteral("shown"));
                         } else if (message == u"count") {
                             instance.Reply(connection, QString::number(shows));
                         } else if (message == u"quit") {
                             instance.Reply(connection, QStringLiteral("bye"));
                             QTimer::singleShot(0, &app, &QCoreApplication::quit);
                         } else {
                             instance.Reply(connection, QStringLiteral("echo ") + message);
                         }
                     });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit); // never outlive a broken test
    return app.exec();
}
