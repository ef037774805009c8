#pragma once
// Title, author and year embedded in a picture file: XMP (dc:title, dc:creator,
// dc:date), IPTC (Object Name, By-line, Date Created), EXIF (ImageDescription,
// Artist), read with exiv2. The first of these that holds a field gives it.
#include "packmaker/entry_name.h"

#include <string>

namespace packmaker {

// Call once before reading metadata on several threads (exiv2's XMP toolkit is set
// up on first use otherwise, which is not thread-safe); also silences exiv2's
// warnings on stderr.
void InitialiseMetadataReader();

// The fields found; all empty (and Year 0) when the file holds none or cannot be
// read. Number is never set.
PictureRecord ReadEmbeddedRecord(const std::string& path);

} // namespace packmaker
