#pragma once
// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and the program folder at a fresh
// temporary folder for the life of the object, so no test touches the real ones.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

class TempEnv {
public:
    TempEnv();
    ~TempEnv();
    TempEnv(const TempEnv&) = delete;
    TempEnv& operator=(const TempEnv&) = delete;

    QString Root() const { return dir_.path(); }      // no trailing slash
    QString ConfigHome() const { return Root() + "/config"; }
    QString DataHome() const { return Root() + "/data"; }
    QString ProgramDir() const { return Root() + "/program"; } // AMBIENCE_PROGRAM_DIR
    QString UserPacksDir() const { return DataHome() + "/Ambience/Packs"; } // made on first install
    QString RegistryFile() const { return ConfigHome() + "/Ambience/registry.reg"; }

private:
    QTemporaryDir dir_;
    std::map<QByteArray, QByteArray> saved_;
    std::map<QByteArray, bool> had_;
    void Set(const char* name, const QString& value);
};

// Folder of the checked-in test data (tests/data).
QString TestDataDir();
// Folder of the built programs (build/bin).
QString BuildBinDir();
