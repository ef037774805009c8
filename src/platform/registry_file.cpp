#include "platform/registry_file.h"

#include "core/utf8.h"

#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";
constexpr int kMaxProblems = 40;
// Registry type numbers of the hex(N): form.
constexpr std::uint32_t kRegSz = 1, kRegBinary = 3, kRegDword = 4;

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool HasUnpairedSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= s.size() || !s[i + 1].isLowSurrogate())
                return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

bool HasControlCharacter(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t'); });
}

struct Line {
    int number = 0;
    QString text;    // trimmed; best effort when the line is damaged
    QString problem; // why the line cannot be trusted, empty when it can
};

void CheckLine(Line& line)
{
    if (line.problem.isEmpty() && HasControlCharacter(line.text))
        line.problem = QStringLiteral("binary data");
    if (line.problem.isEmpty() && HasUnpairedSurrogate(line.text))
        line.problem = QStringLiteral("not valid text");
    line.text = line.text.trimmed();
}

// Splits the file into lines. UTF-8 is checked line by line so one damaged line
// costs only itself; UTF-16 files (with a byte-order mark) are accepted as well.
std::vector<Line> SplitLines(const QByteArray& bytes)
{
    std::vector<Line> lines;
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        if (bytes.size() < static_cast<qsizetype>(mark.size()))
            return false;
        return std::equal(mark.begin(), mark.end(), reinterpret_cast<const unsigned char*>(bytes.constData()));
    };
    if (startsWith({0xFF, 0xFE}) || startsWith({0xFE, 0xFF})) {
        const bool little = startsWith({0xFF, 0xFE});
        const qsizetype units = (bytes.size() - 2) / 2;
        QString text(units, Qt::Uninitialized);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + 2;
        for (qsizetype i = 0; i < units; ++i) {
            const unsigned a = p[2 * i], b = p[2 * i + 1];
            text[i] = QChar(static_cast<char16_t>(little ? (a | (b << 8)) : ((a << 8) | b)));
        }
        const QStringList parts = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            Line line{static_cast<int>(i + 1), parts[i], {}};
            if (line.text.endsWith(QLatin1Char('\r')))
                line.text.chop(1);
            CheckLine(line);
            lines.push_back(std::move(line));
        }
        if ((bytes.size() - 2) % 2 != 0)
            lines.push_back({static_cast<int>(parts.size()), QString(), QStringLiteral("the file ends inside a character")});
        return lines;
    }
    qsizetype start = startsWith({0xEF, 0xBB, 0xBF}) ? 3 : 0;
    int number = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        qsizetype len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r')
            --len;
        Line line;
        line.number = ++number;
        const char* p = bytes.constData() + start;
        if (core::IsValidUtf8(p, static_cast<std::size_t>(len))) {
            line.text = QString::fromUtf8(p, len);
        } else {
            line.text = QString::fromUtf8(p, len); // with replacement characters, only to see its shape
            line.problem = QStringLiteral("not valid UTF-8");
        }
        CheckLine(line);
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits.
bool ParseHexNumber(QStringView text, std::uint32_t& value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    value = 0;
    for (QChar c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return true;
}

bool ParseHexBytes(QStringView text, QByteArray& out)
{
    out.clear();
    text = text.trimmed();
    if (text.isEmpty())
        return true;
    for (QStringView item : text.split(QLatin1Char(','))) {
        item = item.trimmed();
        std::uint32_t v = 0;
        if (item.size() > 2 || !ParseHexNumber(item, v))
            return false;
        out.append(static_cast<char>(v));
    }
    return true;
}

// A quoted text starting at text[pos] == '"'; pos ends after the closing quote.
// "\\" and "\"" are escapes; a backslash before anything else stands for itself,
// as hand-written paths often have it.
bool ParseQuoted(const QString& text, qsizetype& pos, QString& out)
{
    out.clear();
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c == QLatin1Char('\\') && pos + 1 < text.size()
            && (text[pos + 1] == QLatin1Char('\\') || text[pos + 1] == QLatin1Char('"'))) {
            out += text[pos + 1];
            pos += 2;
            continue;
        }
        out += c;
        ++pos;
    }
    return false;
}

RegistryValue MakeValue(std::uint32_t type, const QByteArray& bytes)
{
    if (type == kRegBinary)
        return RegistryValue::Binary(bytes);
    if (type == kRegDword && bytes.size() == 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        return RegistryValue::Dword(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                                    | std::uint32_t(p[3]) << 24);
    }
    if (type == kRegSz && bytes.size() % 2 == 0) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        qsizetype units = bytes.size() / 2;
        if (units > 0 && p[2 * (units - 1)] == 0 && p[2 * (units - 1) + 1] == 0)
            --units; // the terminator
        QString text(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i)
            text[i] = QChar(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
        return RegistryValue::String(text);
    }
    return RegistryValue::Raw(type, bytes);
}

class Parser {
public:
    explicit Parser(const QByteArray& bytes) : lines_(SplitLines(bytes)) {}

    RegistryParseResult Run()
    {
        bool first = true;
        for (index_ = 0; index_ < lines_.size(); ++index_) {
            const Line& line = lines_[index_];
            if (line.text.isEmpty() && line.problem.isEmpty())
                continue;
            if (line.problem.isEmpty() && line.text.startsWith(QLatin1Char(';')))
                continue;
            const bool isHeader = line.problem.isEmpty()
                && (line.text == QLatin1String(kHeader5) || line.text == QLatin1String(kHeader4));
            if (first) {
                first = false;
                if (isHeader)
                    continue;
                Problem(line.number, QStringLiteral("the file does not start with \"%1\"").arg(QLatin1String(kHeader5)));
            } else if (isHeader) {
                continue;
            }
            if (line.text.startsWith(QLatin1Char('['))) {
                KeyLine(line);
            } else if (!line.problem.isEmpty()) {
                Problem(line.number, line.problem);
            } else if (line.text.startsWith(QLatin1Char('"')) || line.text.startsWith(QLatin1Char('@'))) {
                ValueLine(line);
            } else {
                Problem(line.number, QStringLiteral("not a key or a value"));
            }
        }
        if (skipped_ > 0)
            result_.problems.append(QStringLiteral("... and %1 more").arg(skipped_));
        return std::move(result_);
    }

private:
    std::vector<Line> lines_;
    std::size_t index_ = 0;
    RegistryParseResult result_;
    QString currentKey_; // empty: no usable key (none yet, or the last one was unreadable)
    int skipped_ = 0;

    void Problem(int line, const QString& what)
    {
        if (result_.problems.size() < kMaxProblems)
            result_.problems.append(QStringLiteral("line %1: %2").arg(line).arg(what));
        else
            ++skipped_;
    }

    void KeyLine(const Line& line)
    {
        currentKey_.clear();
        if (!line.problem.isEmpty()) {
            Problem(line.number, line.problem + QStringLiteral(" in a key; its values are skipped"));
            return;
        }
        const QString& t = line.text;
        if (!t.endsWith(QLatin1Char(']')) || t.size() < 2) {
            Problem(line.number, QStringLiteral("key without closing bracket; its values are skipped"));
            return;
        }
        const QString path = NormalizeKeyPath(t.mid(1, t.size() - 2));
        if (path.startsWith(QLatin1Char('-'))) {
            Problem(line.number, QStringLiteral("key deletion is not kept in this file; its values are skipped"));
            return;
        }
        if (path.isEmpty()) {
            Problem(line.number, QStringLiteral("empty key name"));
            return;
        }
        result_.document.EnsureKey(path);
        currentKey_ = path;
    }

    void ValueLine(const Line& line)
    {
        const QString& t = line.text;
        qsizetype pos = 0;
        QString name;
        if (t[0] == QLatin1Char('@')) {
            pos = 1;
        } else if (!ParseQuoted(t, pos, name)) {
            Problem(line.number, QStringLiteral("value name without closing quote"));
            return;
        }
        while (pos < t.size() && t[pos].isSpace())
            ++pos;
        if (pos >= t.size() || t[pos] != QLatin1Char('=')) {
            Problem(line.number, QStringLiteral("'=' missing after the value name"));
            return;
        }
        ++pos;
        while (pos < t.size() && t[pos].isSpace())
            ++pos;
        const QString data = t.mid(pos);
        const int number = line.number;

        RegistryValue value;
        if (data.startsWith(QLatin1Char('"'))) {
            qsizetype p = 0;
            QString text;
            if (!ParseQuoted(data, p, text) || p != data.size()) {
                Problem(number, QStringLiteral("text value not closed by a quote"));
                return;
            }
            value = RegistryValue::String(text);
        } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            std::uint32_t v = 0;
            if (!ParseHexNumber(QStringView(data).mid(6).trimmed(), v)) {
                Problem(number, QStringLiteral("dword value is not 1 to 8 hex digits"));
                return;
            }
            value = RegistryValue::Dword(v);
        } else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            std::uint32_t type = kRegBinary;
            qsizetype colon = data.indexOf(QLatin1Char(':'));
            if (colon < 0) {
                Problem(number, QStringLiteral("hex value without ':'"));
                return;
            }
            const QStringView kind = QStringView(data).mid(3, colon - 3);
            if (!kind.isEmpty()) {
                if (!kind.startsWith(QLatin1Char('(')) || !kind.endsWith(QLatin1Char(')'))
                    || !ParseHexNumber(kind.mid(1, kind.size() - 2), type)) {
                    Problem(number, QStringLiteral("unknown hex value type"));
                    return;
                }
            }
            QString digits = data.mid(colon + 1);
            // Long values go on over lines that end in a backslash.
            while (digits.endsWith(QLatin1Char('\\'))) {
                digits.chop(1);
                if (index_ + 1 >= lines_.size()) {
                    Problem(number, QStringLiteral("hex value cut off at the end of the file"));
                    return;
                }
                const Line& next = lines_[index_ + 1];
                // A key or value line is never part of a hex value: leave it to the
                // main loop so that what follows stays in the right key.
                if (next.text.isEmpty() || next.text.startsWith(QLatin1Char('['))
                    || next.text.startsWith(QLatin1Char('"')) || next.text.startsWith(QLatin1Char('@'))) {
                    Problem(number, QStringLiteral("hex value cut off"));
                    return;
                }
                ++index_;
                if (!next.problem.isEmpty()) {
                    Problem(next.number, next.problem + QStringLiteral(" in a continued hex value"));
                    return;
                }
                digits += next.text;
            }
            QByteArray bytes;
            if (!ParseHexBytes(digits, bytes)) {
                Problem(number, QStringLiteral("hex value holds something other than bytes"));
                return;
            }
            value = MakeValue(type, bytes);
        } else if (data == QLatin1String("-")) {
            Problem(number, QStringLiteral("value deletion is not kept in this file"));
            return;
        } else {
            Problem(number, QStringLiteral("unknown value data"));
            return;
        }
        if (currentKey_.isEmpty()) {
            Problem(number, QStringLiteral("value outside a readable key"));
            return;
        }
        result_.document.SetValue(currentKey_, name, value);
    }
};

void AppendQuoted(QByteArray& out, const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    out += quoted.toUtf8(); // whole, so surrogate pairs stay together
}

// Wraps like the export tool does: lines of about 80 columns, continued with a
// backslash and two spaces.
void AppendHex(QByteArray& out, qsizetype prefixLength, const QByteArray& bytes)
{
    static const char digits[] = "0123456789abcdef";
    qsizetype column = prefixLength;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column >= 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
}

QByteArray Utf16Le(const QString& text)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (QChar c : text) {
        bytes += static_cast<char>(c.unicode() & 0xFF);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    bytes += '\0';
    bytes += '\0';
    return bytes;
}

} // namespace

QString NormalizeKeyPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

bool IsWritableName(const QString& name) { return !HasControlCharacter(name) && !HasUnpairedSurrogate(name); }

const RegistryKeyEntry* RegistryDocument::FindKey(const QString& path) const
{
    for (const auto& key : keys) {
        if (SameName(key.path, path))
            return &key;
    }
    return nullptr;
}

RegistryKeyEntry* RegistryDocument::FindKey(const QString& path)
{
    return const_cast<RegistryKeyEntry*>(std::as_const(*this).FindKey(path));
}

bool RegistryDocument::HasKey(const QString& path) const
{
    const QString prefix = path + QLatin1Char('\\');
    return std::any_of(keys.begin(), keys.end(), [&](const RegistryKeyEntry& key) {
        return SameName(key.path, path) || key.path.startsWith(prefix, Qt::CaseInsensitive);
    });
}

RegistryKeyEntry& RegistryDocument::EnsureKey(const QString& path)
{
    if (RegistryKeyEntry* key = FindKey(path))
        return *key;
    keys.push_back({path, {}});
    return keys.back();
}

const RegistryValue* RegistryDocument::FindValue(const QString& key, const QString& name) const
{
    const RegistryKeyEntry* entry = FindKey(key);
    if (!entry)
        return nullptr;
    for (const auto& [n, v] : entry->values) {
        if (SameName(n, name))
            return &v;
    }
    return nullptr;
}

void RegistryDocument::SetValue(const QString& key, const QString& name, const RegistryValue& value)
{
    RegistryKeyEntry& entry = EnsureKey(key);
    for (auto& [n, v] : entry.values) {
        if (SameName(n, name)) {
            v = value;
            return;
        }
    }
    entry.values.emplace_back(name, value);
}

bool RegistryDocument::RemoveValue(const QString& key, const QString& name)
{
    RegistryKeyEntry* entry = FindKey(key);
    if (!entry)
        return false;
    const auto it = std::find_if(entry->values.begin(), entry->values.end(),
                                 [&](const auto& pair) { return SameName(pair.first, name); });
    if (it == entry->values.end())
        return false;
    entry->values.erase(it);
    return true;
}

RegistryParseResult ParseRegistryText(const QByteArray& bytes) { return Parser(bytes).Run(); }

QByteArray SerializeRegistry(const RegistryDocument& document)
{
    QByteArray out(kHeader5);
    out += "\n\n";
    for (const auto& key : document.keys) {
        // Nothing the parser produced is unwritable; a caller's mistake is left out
        // rather than written as a line that would damage the file.
        if (key.path.isEmpty() || key.path.startsWith(QLatin1Char('-')) || !IsWritableName(key.path))
            continue;
        out += '[';
        out += key.path.toUtf8();
        out += "]\n";
        for (const auto& [name, value] : key.values) {
            if (!IsWritableName(name))
                continue;
            const qsizetype lineStart = out.size();
            if (name.isEmpty())
                out += '@';
            else
                AppendQuoted(out, name);
            out += '=';
            switch (value.type) {
            case ValueType::Dword:
                out += "dword:" + QByteArray::number(value.dword, 16).rightJustified(8, '0');
                break;
            case ValueType::String:
                if (IsWritableName(value.text)) {
                    AppendQuoted(out, value.text);
                } else {
                    out += "hex(1):";
                    AppendHex(out, out.size() - lineStart, Utf16Le(value.text));
                }
                break;
            case ValueType::Binary:
                out += "hex:";
                AppendHex(out, out.size() - lineStart, value.binary);
                break;
            case ValueType::Raw:
                out += "hex(" + QByteArray::number(value.rawType, 16) + "):";
                AppendHex(out, out.size() - lineStart, value.binary);
                break;
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

} // namespace platform
