// Checking a whole pack decodes every picture in one run over the archive.
#include "zip_builder.h"

#include "archive/task.h"
#include "core/product.h"
#include "graphics/picture.h"
#include "packs/check_pictures.h"
#include "packs/pack.h"
#include "support/temp_env.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(CheckPictures, TwentyThousandPicturesInOneRunAndEachFailureOnItsOwn)
{
    TempEnv env;
    TProduct product{env.ProgramDir() + "/"};
    const QByteArray jpeg = TinyJpeg();
    ZipBuilder zip;
    const int count = 20000;
    // A few pictures are broken in different ways; the check names each of them
    // and decodes all the others.
    const std::map<int, QByteArray> broken = {{7, "not a picture"}, {12345, QByteArray()}, {19999, jpeg.left(20)}};
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%05d - Picture %d.jpg", i + 1, i + 1);
        const auto b = broken.find(i);
        zip.Add(name, b == broken.end() ? jpeg : b->second);
    }
    const QString path = env.Root() + "/many.zip";
    ASSERT_TRUE(zip.Comment(PackComment("Many")).WriteTo(path));
    const TPack pack(path.toStdString());
    ASSERT_EQ(pack.Pictures.size(), static_cast<size_t>(count));

    const unsigned long runsBefore = archiva::task::RunCount();
    std::vector<int> codes(count, -1);
    int calls = 0;
    packs::DecodeAllPictures(pack, [&](int i, int code, const graphics::Picture& picture, const std::string& detail) {
        ++calls;
        codes[static_cast<size_t>(i)] = code;
        if (code == 0)
            EXPECT_EQ(picture.Width(), 48);
        else
            EXPECT_NE(detail.find(pack.Pictures[static_cast<size_t>(i)].EntryName), std::string::npos) << detail;
    });
    EXPECT_EQ(archiva::task::RunCount() - runsBefore, 1u) << "one run over the archive, whatever the count";
    EXPECT_EQ(calls, count);
    std::set<std::string> brokenNames;
    for (const auto& [i, data] : broken) {
        char name[64];
        std::snprintf(name, sizeof name, "%05d - Picture %d.jpg", i + 1, i + 1);
        brokenNames.insert(name);
    }
    for (int i = 0; i < count; ++i) {
        const std::string& name = pack.Pictures[static_cast<size_t>(i)].EntryName;
        EXPECT_EQ(codes[static_cast<size_t>(i)] != 0, brokenNames.count(name) == 1) << name;
    }
}

} // namespace
