// The single-instance rule with real processes (platform_instance_probe).
#include "env_guard.h"
#include "platform/instance_socket.h"
#include "platform/single_instance.h"
#include "support/temp_env.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class SingleInstanceRule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.Set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override
    {
        for (auto& p : probes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QProcess* Start(bool wait = false)
    {
        probes.push_back(std::make_unique<QProcess>());
        QProcess* p = probes.back().get();
        QStringList args {name};
        if (wait)
            args << QStringLiteral("--wait");
        p->start(BuildBinDir() + QStringLiteral("/platform_instance_probe"), args);
        return p;
    }
    // The probe's verdict: "first" or "second".
    static QString Verdict(QProcess* p)
    {
        while (!p->canReadLine()) {
            if (!p->waitForReadyRead(15000))
                return QStringLiteral("(no answer: %1)").arg(p->errorString());
        }
        return QString::fromUtf8(p->readLine()).trimmed();
    }

    QTemporaryDir runtime;
    EnvGuard env;
    const QString name = QStringLiteral("ambience-test-%1").arg(QCoreApplication::applicationPid());
    std::vector<std::unique_ptr<QProcess>> probes;
};

TEST_F(SingleInstanceRule, SimultaneousStartsLeaveExactlyOneRunning)
{
    // All probes are up and waiting; then they are set off together, so their
    // probe-and-listen steps overlap.
    constexpr int kStarts = 8;
    env.Set("AMBIENCE_TEST_CLAIM_DELAY_MS", "100");
    for (int i = 0; i < kStarts; ++i)
        Start(true);
    for (auto& p : probes)
        ASSERT_EQ(Verdict(p.get()), "ready");
    for (auto& p : probes) {
        p->write("go\n");
        p->waitForBytesWritten(5000); // QProcess writes only when asked to
    }

    QProcess* first = nullptr;
    int seconds = 0;
    for (auto& p : probes) {
        const QString verdict = Verdict(p.get());
        if (verdict == u"first") {
            EXPECT_EQ(first, nullptr) << "two processes became the running instance";
            first = p.get();
        } else {
            EXPECT_EQ(verdict, "second");
            ASSERT_TRUE(p->waitForFinished(15000));
            EXPECT_EQ(p->exitCode(), 255); // exit code -1
            ++seconds;
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(seconds, kStarts - 1);

    // Every later start asked the running one to show itself.
    EXPECT_EQ(platform::SingleInstance::Ask(name, QStringLiteral("count"), 10000), QString::number(kStarts - 1));
    // A request is one line: line breaks inside cannot split it.
    EXPECT_EQ(platform::SingleInstance::Ask(name, QStringLiteral("a\nb"), 10000), "echo a b");
    EXPECT_EQ(platform::SingleInstance::Ask(name, QStringLiteral("quit"), 10000), "bye");
    ASSERT_TRUE(first->waitForFinished(15000));
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(platform::SingleInstance::Ask(name, QStringLiteral("count"), 2000), QString());
}

TEST_F(SingleInstanceRule, SocketOfACrashedInstanceDoesNotBlockTheNextStart)
{
    QProcess* crashed = Start();
    ASSERT_EQ(Verdict(crashed), "first");
    ::kill(pid_t(crashed->processId()), SIGKILL);
    ASSERT_TRUE(crashed->waitForFinished(15000));
    // The socket file stays behind, as after any crash.
    const QString socket = runtime.filePath(QStringLiteral("%1-%2.socket").arg(name).arg(::getuid()));
    ASSERT_TRUE(QFile::exists(socket));

    QProcess* next = Start();
    EXPECT_EQ(Verdict(next), "first");
    EXPECT_EQ(platform::SingleInstance::Ask(name, QStringLiteral("quit"), 10000), "bye");
    EXPECT_TRUE(next->waitForFinished(15000));
}

} // namespace

// The asking side against peers that are not a well-behaved instance: one that
// answers (and receives the request as one line), one that talks without end, one
// that hangs up, one that never answers. The asker never waits past its time.
TEST_F(SingleInstanceRule, AnAskerTakesOnlyOneLineInItsTime)
{
    enum class Peer { Echoes, Floods, HangsUp, Silent };
    const struct {
        Peer peer;
        QString answer;
        bool waitsItsTime;
    } rows[] = {{Peer::Echoes, "got a b", false},
                {Peer::Floods, "", false},
                {Peer::HangsUp, "", false},
                {Peer::Silent, "", true}};
    const QByteArray path = QFile::encodeName(platform::InstancePathsFor(name).socket);
    for (const auto& row : rows) {
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        ::unlink(path.constData());
        ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(server, 1), 0);
        std::thread peer([&] {
            const int client = ::accept(server, nullptr, nullptr);
            std::string line;
            char c;
            while (line.find('\n') == std::string::npos && ::read(client, &c, 1) == 1)
                line += c;
            if (row.peer == Peer::Echoes) {
                const std::string reply = "got " + line;
                ::write(client, reply.data(), reply.size());
            } else if (row.peer == Peer::Floods) {
                const std::string flood(70 * 1024, 'x');
                ::send(client, flood.data(), flood.size(), MSG_NOSIGNAL);
            }
            // Until the asker hangs up.
            while (row.peer != Peer::HangsUp && ::read(client, &c, 1) == 1) {
            }
            ::close(client);
        });
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(platform::AskInstance(name, "a\nb", 2000), row.answer) << int(row.peer);
        const qint64 waited = clock.elapsed();
        EXPECT_LT(waited, row.waitsItsTime ? 6000 : 1500) << int(row.peer);
        EXPECT_GE(waited, row.waitsItsTime ? 1900 : 0) << int(row.peer);
        peer.join();
        // Listening is enough, answered or not.
        EXPECT_TRUE(platform::InstanceListens(name));
        ::close(server);
    }
    ::unlink(path.constData());
    EXPECT_FALSE(platform::InstanceListens(name));
    EXPECT_EQ(platform::AskInstance(name, "ping", 1000), QString());
}
