#include "support/temp_env.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdlib>

TempEnv::TempEnv()
{
    QDir().mkpath(ConfigHome());
    QDir().mkpath(DataHome());
    QDir().mkpath(ProgramDir());
    Set("HOME", Root());
    Set("XDG_CONFIG_HOME", ConfigHome());
    Set("XDG_DATA_HOME", DataHome());
    Set("AMBIENCE_PROGRAM_DIR", ProgramDir());
}

TempEnv::~TempEnv()
{
    for (const auto& [name, value] : saved_) {
        if (had_[name])
            qputenv(name.constData(), value);
        else
            qunsetenv(name.constData());
    }
}

void TempEnv::Set(const char* name, const QString& value)
{
    const QByteArray key(name);
    if (!saved_.count(key)) {
        had_[key] = qEnvironmentVariableIsSet(name);
        saved_[key] = qgetenv(name);
    }
    qputenv(name, value.toUtf8());
}

QString TestDataDir()
{
    const QString fromEnv = qEnvironmentVariable("AMBIENCE_TEST_DATA");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral(AMBIENCE_SOURCE_DIR_FALLBACK "/tests/data");
}

QString BuildBinDir()
{
    const QString fromEnv = qEnvironmentVariable("AMBIENCE_BUILD_BIN");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath();
}
