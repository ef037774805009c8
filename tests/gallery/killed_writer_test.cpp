// A writer killed with SIGKILL while it writes leaves a record that opens, reads
// whole changes only, and takes new ones.
#include "gallery/wall_record.h"
#include "support/temp_env.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

TEST(KilledWriter, LeavesAReadableRecord)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("wall.sqlite");
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(BuildBinDir() + "/wall_writer", {file, "1000000"});
        ASSERT_TRUE(writer.waitForStarted());
        // Killed at once after a number of commits that grows each round, so the
        // kill lands at different points of a change.
        int committed = 0;
        while (committed < 5 + 7 * round && writer.waitForReadyRead(30000))
            while (writer.canReadLine() && committed < 5 + 7 * round)
                committed += writer.readLine().trimmed().toLongLong() > 0;
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(30000));
        ASSERT_GE(committed, 5 + 7 * round) << writer.readAllStandardError().toStdString();

        auto record = gallery::WallRecord::Open(file);
        ASSERT_TRUE(record.ok()) << record.error().text;
        const auto rows = (*record)->History();
        ASSERT_TRUE(rows.ok()) << rows.error().text;
        std::map<qint64, int> perChange;
        for (const gallery::WallEntry& e : *rows)
            ++perChange[e.change];
        for (const auto& [change, count] : perChange)
            EXPECT_EQ(count, 2) << "change " << change << " is not whole";
        EXPECT_TRUE((*record)->Add({gallery::WallEntry{}, gallery::WallEntry{}}, {}).ok()); // still takes changes
    }
}
