#include "support/generated_message.h"

#include <random>

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void WriteHeader(std::ostream& out, std::string_view subject, std::string_view contentType,
                 std::string_view transferEncoding) {
    out << "From: Jean Dupont <jean@example.fr>\nTo: anne@example.fr\n"
        << "Date: Fri, 07 Sep 2001 10:05:30 +0200\nSubject: " << subject << "\nMIME-Version: 1.0\n"
        << "Content-Type: " << contentType << "\n";
    if (!transferEncoding.empty()) out << "Content-Transfer-Encoding: " << transferEncoding << "\n";
    out << "\n";
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        unsigned v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) text += k <= n ? kBase64Alphabet[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

void WriteAttachmentMessage(std::ostream& out, std::size_t attachmentBytes) {
    WriteHeader(out, "Gros fichier", "multipart/mixed; boundary=\"=_sep\"", "");
    out << "--=_sep\nContent-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: "
           "quoted-printable\n\n";
    for (int i = 0; i < 50; ++i)
        out << "Voici le fichier promis, r=E9sum=E9 de l'ann=E9e. Ligne " << i << "\n";
    out << "--=_sep\nContent-Type: application/octet-stream; name=\"donnees.bin\"\n"
        << "Content-Transfer-Encoding: base64\nContent-Disposition: attachment; filename=\"donnees.bin\"\n\n";
    std::mt19937 random(7);
    std::string block(57, '\0');
    for (std::size_t done = 0; done < attachmentBytes; done += block.size()) {
        block.resize(std::min<std::size_t>(57, attachmentBytes - done));
        for (char& c : block) c = static_cast<char>(random());
        out << Base64Encode(block) << "\n";
    }
    out << "--=_sep--\n";
}

void WriteQuotedPrintableMessage(std::ostream& out, std::size_t textBytes) {
    WriteHeader(out, "Long texte", "text/plain; charset=iso-8859-1", "quoted-printable");
    const std::string lines[] = {
        "Le caf=E9 de la gare =E9tait ferm=E9 ce matin, =C7a arrive une fois par an. =\n",
        "Tarif : 10 =3D dix euros, pay=E9s =E0 l'entr=E9e.\n",
        "\n",
    };
    for (std::size_t done = 0, i = 0; done < textBytes; ++i) {
        const std::string& line = lines[i % 3];
        out << line;
        done += line.size();
    }
}
