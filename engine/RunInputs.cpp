#include "engine/RunInputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <string>

#include "engine/DataSourceFiles.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LabelMerge.h"
#include "engine/SentMarks.h"

namespace cardmill {

std::optional<InputProblem> checkInputFile(const std::filesystem::path& path, TextId missing)
{
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::none)
        return InputProblem{missing, {path.string()}};
    if (type == std::filesystem::file_type::directory)
        return InputProblem{TextId::InputIsFolder, {path.string()}};
    if (type != std::filesystem::file_type::regular)
        return InputProblem{TextId::InputNotRegular, {path.string()}};
    return std::nullopt;
}

std::vector<std::filesystem::path> runOutputs(const std::filesystem::path& base)
{
    std::vector<std::filesystem::path> outputs;
    for (int k = 0; k <= 10; ++k) {
        outputs.push_back(dataSourcePath(base, k));
        for (const char* ext : {".docx", ".odt", ".pdf"})
            outputs.push_back(labelDocumentStem(base, PassSelector{k}).string() + ext);
    }
    outputs.push_back(base.string() + "_bad.txt");
    outputs.push_back(SentMarks::sentPath(base));
    outputs.push_back(SentMarks::updatedPath(base));
    outputs.push_back(tableDocumentPath(base));
    return outputs;
}

std::optional<InputProblem> inputAmongOutputs(const std::vector<std::filesystem::path>& inputs,
                                              const std::vector<std::filesystem::path>& outputs)
{
    std::vector<std::pair<files::FileId, std::filesystem::path>> identities;
    for (const std::filesystem::path& in : inputs)
        if (const auto id = in.empty() ? std::nullopt : files::fileId(in))
            identities.emplace_back(*id, in);
    for (const std::filesystem::path& out : outputs) {
        // The output itself (a link at its name is replaced, never followed, but it must not be an input).
        for (const bool follow : {true, false}) {
            const auto id = files::fileId(out, follow);
            for (const auto& [inputId, input] : identities)
                if (id == inputId)
                    return InputProblem{TextId::InputIsOutput, {input.string(), out.string()}};
        }
    }
    return std::nullopt;
}

bool startsWithUtf16Mark(const std::filesystem::path& path)
{
    return files::startsWith(path, "\xFF\xFE") || files::startsWith(path, "\xFE\xFF");
}

void convertUtf16ToUtf8(const std::filesystem::path& source, const std::filesystem::path& target)
{
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in)
        throw IoError(FailureId::OpenFile, source, std::strerror(errno));
    std::FILE* out = std::fopen(target.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        throw IoError(FailureId::CreateFile, target, std::strerror(errno));
    }
    // glibc's "UTF-16" reads the byte-order mark and drops it.
    iconv_t cd = iconv_open("UTF-8", "UTF-16");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fclose(in);
        std::fclose(out);
        throw IoError(FailureId::NoUtf16Converter, source);
    }
    char inBuf[1 << 16];
    char outBuf[1 << 18];
    std::size_t kept = 0; // bytes of an unfinished letter carried to the next piece
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(inBuf + kept, 1, sizeof inBuf - kept, in);
        std::size_t left = kept + n;
        const bool last = n == 0;
        char* from = inBuf;
        while (left > 0) {
            char* to = outBuf;
            std::size_t room = sizeof outBuf;
            const std::size_t r = iconv(cd, &from, &left, &to, &room);
            ok = ok && std::fwrite(outBuf, 1, sizeof outBuf - room, out) == sizeof outBuf - room;
            if (r != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG)
                continue;
            if (errno == EINVAL && !last)
                break; // an unfinished letter: wait for the rest
            // Not UTF-16 here (a lone surrogate, a cut-off last byte): a replacement letter, and on.
            ok = ok && std::fwrite("\xEF\xBF\xBD", 1, 3, out) == 3;
            const std::size_t skip = std::min<std::size_t>(2, left);
            from += skip;
            left -= skip;
        }
        std::memmove(inBuf, from, left);
        kept = left;
        if (last)
            break;
    }
    iconv_close(cd);
    const bool readError = std::ferror(in) != 0;
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    if (readError)
        throw IoError(FailureId::ReadFile, source);
    if (!ok)
        throw IoError(FailureId::WriteFile, target, std::strerror(errno));
}

} // namespace cardmill
