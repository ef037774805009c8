// The registry-export text: what is read, what is written, and what survives damage.
#include "platform/registry_file.h"

#include <gtest/gtest.h>

using platform::ParseRegistryText;
using platform::RegistryDocument;
using platform::RegistryValue;
using platform::SerializeRegistry;

namespace {

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Test");

RegistryDocument RoundTrip(const RegistryDocument& document)
{
    const auto parsed = ParseRegistryText(SerializeRegistry(document));
    EXPECT_FALSE(parsed.Damaged()) << parsed.problems.join('\n').toStdString();
    return parsed.document;
}

} // namespace

TEST(RegistryFile, OddStringsAndNamesSurviveARoundTrip)
{
    const QList<QString> texts = {
        QString(),
        QStringLiteral("C:\\path\\with \"quotes\" and \\\" mixed\\"),
        QStringLiteral("line one\nline two\r\nthree"),
        QStringLiteral("tab\there, bell\a, escape\x1b"),
        QString::fromUtf16(u"nul\u0000inside", 10),
        QStringLiteral("  leading and trailing spaces  "),
        QStringLiteral("[not a key]"),
        QStringLiteral("\"name\"=dword:00000001"),
        QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e \xe2\x84\xa2 \xf0\x9f\x8e\xa8 %s %%"),
        QString(QChar(0xD800)) + QStringLiteral("lone surrogate"),
        QStringLiteral("ends with a backslash\\"),
    };
    RegistryDocument document;
    for (int i = 0; i < texts.size(); ++i)
        document.SetValue(kKey, QStringLiteral("text %1").arg(i), RegistryValue::String(texts[i]));
    document.SetValue(kKey, QStringLiteral("a \"quoted\\\" name"), RegistryValue::Dword(0xFFFFFFFF));
    document.SetValue(kKey, QString(), RegistryValue::String(QStringLiteral("default value")));
    document.SetValue(kKey + QStringLiteral("\\Sub key ] with bracket"), QStringLiteral("x"),
                      RegistryValue::Binary(QByteArray()));

    const RegistryDocument back = RoundTrip(document);
    EXPECT_EQ(back, document);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(back.FindValue(kKey, QStringLiteral("text %1").arg(i))->text, texts[i]) << i;
}

TEST(RegistryFile, LongBinaryIsWrappedAndReadBack)
{
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes += static_cast<char>(i * 7);
    RegistryDocument document;
    document.SetValue(kKey, QStringLiteral("Blob"), RegistryValue::Binary(bytes));
    document.SetValue(kKey, QStringLiteral("Other"), RegistryValue::Raw(0xb, QByteArray("\x01\x02", 2)));
    const QByteArray text = SerializeRegistry(document);
    for (const QByteArray& line : text.split('\n'))
        EXPECT_LE(line.size(), 80) << line.constData();
    EXPECT_EQ(RoundTrip(document), document);
}

TEST(RegistryFile, ReadsTheExportSyntaxInItsForms)
{
    const QByteArray text = "REGEDIT4\r\n"
                            "; a comment\r\n"
                            "[HKEY_CURRENT_USER\\Software\\\\Test\\]\r\n"
                            "\"Upper\"=DWORD:0000002A\r\n"
                            "\"Short\"=dword:7\r\n"
                            "\"Wrapped\"=hex:01,02,\\\r\n"
                            "  03,04\r\n"
                            "\"AsDword\"=hex(4):2a,00,00,00\r\n"
                            "\"AsText\"=hex(1):41,00,42,00,00,00\r\n"
                            "\"Expand\"=hex(2):25,00,00,00\r\n"
                            "\"Path\"=\"C:\\Windows\"\r\n"
                            "@=\"default\"\r\n"
                            "[hkey_current_user\\software\\test]\r\n"
                            "\"upper\"=dword:00000001\r\n";
    const auto parsed = ParseRegistryText(text);
    EXPECT_FALSE(parsed.Damaged()) << parsed.problems.join('\n').toStdString();
    const RegistryDocument& d = parsed.document;
    ASSERT_EQ(d.keys.size(), 1u); // the second section is the same key in other letters
    EXPECT_EQ(d.keys[0].path, kKey);
    EXPECT_EQ(*d.FindValue(kKey, "UPPER"), RegistryValue::Dword(1)); // later one wins
    EXPECT_EQ(*d.FindValue(kKey, "Short"), RegistryValue::Dword(7));
    EXPECT_EQ(*d.FindValue(kKey, "Wrapped"), RegistryValue::Binary(QByteArray("\x01\x02\x03\x04", 4)));
    EXPECT_EQ(*d.FindValue(kKey, "AsDword"), RegistryValue::Dword(42));
    EXPECT_EQ(*d.FindValue(kKey, "AsText"), RegistryValue::String("AB"));
    EXPECT_EQ(*d.FindValue(kKey, "Expand"), RegistryValue::Raw(2, QByteArray("\x25\x00\x00\x00", 4)));
    // A lone backslash stands for itself, as in hand-written paths.
    EXPECT_EQ(d.FindValue(kKey, "Path")->text, QStringLiteral("C:\\Windows"));
    EXPECT_EQ(d.FindValue(kKey, "")->text, QStringLiteral("default"));
    EXPECT_TRUE(d.HasKey("HKEY_CURRENT_USER\\SOFTWARE"));
    EXPECT_FALSE(d.HasKey("HKEY_CURRENT_USER\\Soft"));
}

TEST(RegistryFile, Utf16FileWithByteOrderMarkIsRead)
{
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                        "\"Name\"=\"caf\u00e9\"\r\n");
    QByteArray bytes("\xff\xfe", 2);
    for (QChar c : text) {
        bytes += static_cast<char>(c.unicode() & 0xff);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    const auto parsed = ParseRegistryText(bytes);
    EXPECT_FALSE(parsed.Damaged());
    EXPECT_EQ(parsed.document.FindValue(kKey, "Name")->text, QStringLiteral("caf\u00e9"));
}

TEST(RegistryFile, DamagedLinesAreSkippedAndTheRestIsKept)
{
    QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CURRENT_USER\\Software\\Test]\n"
                      "\"Good1\"=dword:00000001\n"
                      "\"Latin1\"=\"caf\xe9\"\n"          // not UTF-8
                      "\"Binary\"=\"a\x01\x02\"\n"         // control characters
                      "garbage line\n"
                      "\"TooLong\"=dword:123456789\n"
                      "\"BadHex\"=hex:0g\n"
                      "\"Unclosed\"=\"text\n"
                      "\"Good2\"=\"two\"\n"
                      "[HKEY_CURRENT_USER\\Software\\Other\xff]\n" // damaged key line
                      "\"Lost\"=dword:00000005\n"
                      "\"Cut\"=hex:01,02,\\\n"
                      "[HKEY_CURRENT_USER\\Software\\Third]\n"
                      "\"Good3\"=dword:00000003\n";
    text += QByteArray("\0\0\0\xff\xfe", 5);
    const auto parsed = ParseRegistryText(text);
    EXPECT_TRUE(parsed.Damaged());
    EXPECT_GE(parsed.problems.size(), 8);
    const RegistryDocument& d = parsed.document;
    EXPECT_EQ(*d.FindValue(kKey, "Good1"), RegistryValue::Dword(1));
    EXPECT_EQ(d.FindValue(kKey, "Good2")->text, QStringLiteral("two"));
    for (const char* name : {"Latin1", "Binary", "TooLong", "BadHex", "Unclosed"})
        EXPECT_EQ(d.FindValue(kKey, name), nullptr) << name;
    // Values below an unreadable key line never move into the key above it.
    EXPECT_EQ(d.FindValue(kKey, "Lost"), nullptr);
    EXPECT_EQ(d.FindValue(kKey, "Cut"), nullptr);
    // A hex value cut off by a key line does not swallow that key.
    EXPECT_EQ(*d.FindValue("HKEY_CURRENT_USER\\Software\\Third", "Good3"), RegistryValue::Dword(3));
    // What is left writes out cleanly.
    EXPECT_EQ(RoundTrip(d), d);
}

TEST(RegistryFile, MissingHeaderAndStrayValuesAreDamage)
{
    const auto noHeader = ParseRegistryText("[HKEY_CURRENT_USER\\Software\\Test]\n\"A\"=dword:00000001\n");
    EXPECT_TRUE(noHeader.Damaged());
    EXPECT_EQ(*noHeader.document.FindValue(kKey, "A"), RegistryValue::Dword(1));

    const auto stray = ParseRegistryText("Windows Registry Editor Version 5.00\n\"A\"=dword:00000001\n[-HKEY_CURRENT_USER\\X]\n\"B\"=-\n");
    EXPECT_EQ(stray.problems.size(), 3);
    EXPECT_TRUE(stray.document.keys.empty());

    // An empty file is simply an empty store.
    EXPECT_FALSE(ParseRegistryText(QByteArray()).Damaged());
}
