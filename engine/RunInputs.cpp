#include "engine/RunInputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/BureauOrder.h"
#include "engine/DataSourceFiles.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LabelDrawer.h"
#include "engine/LabelMerge.h"
#include "engine/SentMarks.h"
#include "engine/Utf16.h"

namespace cardmill {

std::optional<RunMessage> checkInputFile(const std::filesystem::path& path, TextId missing)
{
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::none)
        return RunMessage{missing, {path.string()}};
    if (type == std::filesystem::file_type::directory)
        return RunMessage{TextId::InputIsFolder, {path.string()}};
    if (type != std::filesystem::file_type::regular)
        return RunMessage{TextId::InputNotRegular, {path.string()}};
    return std::nullopt;
}

std::vector<std::filesystem::path> runOutputs(const std::filesystem::path& base)
{
    std::vector<std::filesystem::path> outputs;
    for (const PassSelector pass : allPasses()) {
        outputs.push_back(dataSourcePath(base, pass.size));
        for (const char* ext : {".docx", ".odt", ".pdf"})
            outputs.push_back(files::withSuffix(labelDocumentStem(base, pass), ext));
    }
    outputs.push_back(files::withSuffix(base, "_bad.txt"));
    outputs.push_back(SentMarks::sentPath(base));
    outputs.push_back(SentMarks::updatedPath(base));
    outputs.push_back(tableDocumentPath(base));
    outputs.push_back(packingListPath(base));
    outputs.push_back(drawnLabelsPath(base));
    return outputs;
}

std::filesystem::path swlMarksBase(const std::filesystem::path& swlBase, const std::filesystem::path& logBase)
{
    return files::sameName(swlBase, logBase) ? files::withSuffix(logBase, "_swl") : swlBase;
}

std::optional<RunMessage> outputTwice(const std::vector<std::filesystem::path>& outputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = i + 1; j < outputs.size(); ++j)
            if (files::sameName(outputs[i], outputs[j]))
                return RunMessage{TextId::OutputTwice, {outputs[i].string()}};
    return std::nullopt;
}

std::optional<RunMessage> inputAmongOutputs(const std::vector<std::filesystem::path>& inputs,
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
                    return RunMessage{TextId::InputIsOutput, {input.string(), out.string()}};
        }
    }
    return std::nullopt;
}

std::optional<utf16::ByteOrder> utf16Order(const std::filesystem::path& path)
{
    for (const utf16::ByteOrder order : {utf16::ByteOrder::Little, utf16::ByteOrder::Big})
        if (files::startsWith(path, utf16::mark(order)))
            return order;
    return std::nullopt;
}

ReadSnapshot convertUtf16ToUtf8(const std::filesystem::path& source, const std::filesystem::path& target)
{
    std::FILE* in = files::open(source, "rb");
    if (!in)
        throw IoError(FailureId::OpenFile, source, std::strerror(errno));
    std::FILE* out = files::open(target, "wb");
    if (!out) {
        std::fclose(in);
        throw IoError(FailureId::CreateFile, target, std::strerror(errno));
    }
    ReadSnapshot snapshot;
    snapshot.state = files::fileState(in);
    std::vector<char> buffer(1 << 16);
    std::string converted;
    std::optional<utf16::Decoder> decoder;
    bool ok = true;
    for (std::size_t n; ok && (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
        std::string_view piece(buffer.data(), n);
        snapshot.add(piece);
        if (!decoder) { // the mark is in the first piece: the file was found to start with one
            decoder.emplace(utf16::markIn(piece).value_or(utf16::ByteOrder::Little));
            piece.remove_prefix(std::min<std::size_t>(2, piece.size()));
        }
        converted.clear();
        decoder->decode(piece, converted);
        ok = std::fwrite(converted.data(), 1, converted.size(), out) == converted.size();
    }
    converted.clear();
    if (decoder)
        decoder->finish(converted);
    ok = ok && std::fwrite(converted.data(), 1, converted.size(), out) == converted.size();
    const bool readError = std::ferror(in) != 0;
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    if (readError)
        throw IoError(FailureId::ReadFile, source);
    if (!ok)
        throw IoError(FailureId::WriteFile, target, std::strerror(errno));
    return snapshot;
}

} // namespace cardmill
