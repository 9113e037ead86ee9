// Fuzzes the .docx and .odt readers and the merge: the first byte chooses whether the input is a whole
// package, the word/document.xml of a .docx, or the content.xml of an .odt.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "merge/DocxMerger.h"
#include "merge/OdtMerger.h"
#include "merge/Zip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace cardmill;
    if (size < 1)
        return 0;
    static const std::filesystem::path dir = std::filesystem::temp_directory_path();
    static const std::filesystem::path input = dir / ("cardmill-fuzz-" + std::to_string(getpid()) + ".docx");
    static const std::filesystem::path output = dir / ("cardmill-fuzz-" + std::to_string(getpid()) + "-out.docx");
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool odt = (data[0] & 2) != 0;
    if (data[0] & 1) {
        if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    } else if (odt) {
        ZipWriter zip(input);
        zip.add("mimetype", "application/vnd.oasis.opendocument.text");
        zip.add("content.xml", bytes);
        zip.add("styles.xml", "<office:document-styles><office:master-styles><style:master-page style:name=\"S\">"
                              "<style:header><text:p><text:database-display text:column-name=\"CALL\"/></text:p>"
                              "</style:header></style:master-page></office:master-styles></office:document-styles>");
        try {
            zip.close();
        } catch (const std::exception&) {
            return 0;
        }
    } else {
        ZipWriter zip(input);
        zip.add("word/document.xml", bytes);
        zip.add("word/settings.xml", "<w:settings><w:mailMerge/></w:settings>");
        try {
            zip.close();
        } catch (const std::exception&) {
            return 0;
        }
    }
    const PassRecords records({"CALL", "NAME"}, {"SP1ABC,Jan", "DL1AA,", "G4X,Ann"});
    ZipLimits limits;
    limits.maxTotalSize = 16 << 20;
    try {
        const ZipContents package = readZip(input, limits);
        if (package.has("content.xml"))
            mergeOdt(package, records, output, {});
        else
            mergeDocx(package, records, output, {});
    } catch (const std::exception&) {
        // A clear error is a fine result for bad input.
    }
    return 0;
}
