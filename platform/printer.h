#pragma once
// The default printer, drawn on in the units of a 600 dots per inch device
// whatever its resolution (origin at the top left of the printable area, y
// downward). The print layouts of the program use only these operations.
#include <string>
#include <string_view>

#include "platform/id_exception.h"
#include "platform/text.h"

enum class PrinterOrientation { Portrait, Landscape };

struct PrintFont {
    std::string name;
    int pointSize = 10;
    bool bold = false;
};

// No printer, or none chosen as the default.
VANNOIR_DECLARE_ERROR(EPrinterNoDefault, EIdException, Other, "Aucune imprimante par défaut sélectionnée");
// A job that the printer refused or lost; the text says why.
class EPrinterError : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Other)
};
VANNOIR_LIST_ERROR(EPrinterError, std::string("x"));

class Printer {
public:
    virtual ~Printer() = default;
    // Each of these throws EPrinterNoDefault without a default printer, and
    // EPrinterError when the printing system fails.
    virtual PrinterOrientation Orientation() const = 0;
    virtual void SetOrientation(PrinterOrientation orientation) = 0;
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void SetFont(const PrintFont& font) = 0;
    // Windows-1252; cut with "…" to `width` when wider (0: no limit).
    virtual void TextOut(int x, int y, std::string_view text, int width) = 0;
    void TextOut(int x, int y, std::string_view text) { TextOut(x, y, text, 0); }
    // The printable area's height; 0 when the printer does not tell.
    virtual int PageHeight() const = 0;
    // Its width, and the width `text` takes in the current font; 0 when
    // the printer does not tell.
    virtual int PageWidth() const { return 0; }
    virtual int TextWidth(std::string_view /*text*/) const { return 0; }
    virtual void EndDoc() = 0;
    // Drops the begun job: nothing of it is printed. Never throws.
    virtual void Abort() noexcept = 0;
};
