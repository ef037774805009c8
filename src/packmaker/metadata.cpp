#include "packmaker/metadata.h"

#include "packs/text.h"

// exiv2 0.27's headers still name std::auto_ptr; that is theirs to change.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <mutex>

namespace packmaker {
namespace {

std::string Trimmed(const std::string& text)
{
    return std::string(packs::Trim(text));
}

// Several creators or by-lines read as one author: "A, B".
void Append(std::string& joined, const std::string& item)
{
    const std::string text = Trimmed(item);
    if (text.empty())
        return;
    if (!joined.empty())
        joined += ", ";
    joined += text;
}

// An XMP language alternative gives its "x-default" text (else its first one); a
// list gives its items joined by ", ".
std::string XmpText(const Exiv2::XmpData& xmp, const char* key)
{
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it == xmp.end())
        return {};
    const Exiv2::Value& value = it->value();
    if (value.typeId() == Exiv2::langAlt) {
        const auto& alt = dynamic_cast<const Exiv2::LangAltValue&>(value);
        const auto found = alt.value_.find("x-default");
        if (found != alt.value_.end())
            return Trimmed(found->second);
        return alt.value_.empty() ? std::string() : Trimmed(alt.value_.begin()->second);
    }
    std::string joined;
    for (long i = 0; i < value.count(); ++i)
        Append(joined, value.toString(i));
    return joined;
}

std::string IptcText(const Exiv2::IptcData& iptc, const char* key)
{
    std::string joined;
    const Exiv2::IptcKey wanted(key);
    for (const Exiv2::Iptcdatum& datum : iptc) {
        if (datum.tag() == wanted.tag() && datum.record() == wanted.record())
            Append(joined, datum.toString());
    }
    return joined;
}

std::string ExifText(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    return Trimmed(it->toString());
}

void FirstOf(std::string& field, const std::string& candidate)
{
    if (field.empty())
        field = candidate;
}

} // namespace

void InitialiseMetadataReader()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

PictureRecord ReadEmbeddedRecord(const std::string& path)
{
    InitialiseMetadataReader();
    PictureRecord record;
    try {
        auto image = Exiv2::ImageFactory::open(path);
        if (!image.get())
            return record;
        image->readMetadata();
        const Exiv2::XmpData& xmp = image->xmpData();
        const Exiv2::IptcData& iptc = image->iptcData();
        const Exiv2::ExifData& exif = image->exifData();

        FirstOf(record.Title, XmpText(xmp, "Xmp.dc.title"));
        FirstOf(record.Title, IptcText(iptc, "Iptc.Application2.ObjectName"));
        FirstOf(record.Title, ExifText(exif, "Exif.Image.ImageDescription"));
        FirstOf(record.Author, XmpText(xmp, "Xmp.dc.creator"));
        FirstOf(record.Author, IptcText(iptc, "Iptc.Application2.Byline"));
        FirstOf(record.Author, ExifText(exif, "Exif.Image.Artist"));
        record.Year = YearOfDate(XmpText(xmp, "Xmp.dc.date"));
        if (record.Year == 0)
            record.Year = YearOfDate(IptcText(iptc, "Iptc.Application2.DateCreated"));
    } catch (const std::exception&) {
        // A file exiv2 cannot read simply has no metadata to offer.
    }
    return record;
}

} // namespace packmaker

#pragma GCC diagnostic pop
