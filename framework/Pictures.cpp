#include "Pictures.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "resources/Resources.h"

namespace orvenna {

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
