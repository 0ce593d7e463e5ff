#pragma once
// A small preview of one site, stored in the card file's "Thumbnails" stream so that a file-open
// preview can show the card without loading it.
#include <map>
#include <vector>

#include "ClArchive.h"
#include "ClString.h"
#include "TarnApi.h"

class CTarnDoc;

class TARN_API CTarnThumbnail {
public:
    CTarnThumbnail() = default;
    CTarnThumbnail(const CTarnThumbnail& other) = default;
    CTarnThumbnail& operator=(const CTarnThumbnail& other) = default;
    virtual ~CTarnThumbnail() = default;

    virtual void FillData(const CTarnDoc* document, int page);
    virtual void OnSave(CArchive& ar);
    virtual void OnLoad(CArchive& ar);

    // The main record: description and image.
    void Serialize(CArchive& ar);
    // The extension list, which follows the main records of all thumbnails.
    void SerializeEx(CArchive& ar);

    std::vector<unsigned char> m_image;
    CString m_description;
    // Extension records by id, as read.
    std::map<unsigned long, std::vector<unsigned char>> m_extensions;
};

// The kind the application makes: it also carries the size of the site's area, in inches.
class TARN_API CSiteSizeThumbnail : public CTarnThumbnail {
public:
    void FillData(const CTarnDoc* document, int page) override;
    void OnSave(CArchive& ar) override;
    void OnLoad(CArchive& ar) override;

    double m_width = 0;
    double m_height = 0;
};
