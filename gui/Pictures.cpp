#include "Pictures.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "resources/Resources.h"

#ifdef _WIN32
#include <windows.h>

#include "resources/ResourceIds.h"
#endif

namespace orvenna {

#ifdef _WIN32

// On Windows the pictures are resources of the executable, numbered as ResourceIds.h says.
ResourceBytes resourceBytes(std::string_view name) {
    struct Entry {
        std::string_view name;
        int id;
    };
    static constexpr Entry Entries[] = {
        {"refresh-normal.png", ORVENNA_PICTURE_REFRESH_NORMAL},
        {"refresh-hover.png", ORVENNA_PICTURE_REFRESH_HOVER},
        {"refresh-disabled.png", ORVENNA_PICTURE_REFRESH_DISABLED},
        {"splash.png", ORVENNA_PICTURE_SPLASH},
        {"orvenna.png", ORVENNA_PICTURE_ICON},
    };
    for (const Entry& entry : Entries) {
        if (entry.name != name) continue;
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(entry.id), MAKEINTRESOURCEW(10));  // RT_RCDATA
        HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return {};
        return {static_cast<const unsigned char*>(data), SizeofResource(nullptr, found)};
    }
    return {};
}

#endif

wxBitmap pictureBitmap(std::string_view name, wxSize size) {
    const ResourceBytes bytes = resourceBytes(name);
    if (!bytes.data) return {};
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(bytes.data, bytes.size);
    wxImage image(stream, wxBITMAP_TYPE_PNG);
    if (!image.IsOk()) return {};
    if (image.GetSize() != size) image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image);
}

}  // namespace orvenna
