#ifndef VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_
#define VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_

#include <filesystem>

#include "core/document/byte_stream.h"
#include "core/document/doc_node.h"
#include "core/document/read_status.h"

namespace vidora {

// Deepest nesting the reader accepts; deeper input fails the parse.
inline constexpr int kMaxDocumentDepth = 256;

// Clears `node` and parses one "QDOC" node from the stream's current
// position into it. Returns kOk when the whole tree was read; otherwise
// why not: kBadMagic (the root's magic), kTruncated (a short read),
// kTooLarge (a count or length the remaining input cannot hold), kTooDeep
// (a nesting deeper than kMaxDocumentDepth) or kOutOfMemory, and `node`
// is left empty (its name included). A child whose own magic is wrong is
// kept as an empty child under the empty name and the parse goes on, as
// the format prescribes.
// The stream is read once to its end (a MemoryStream is parsed in place)
// and left right after the bytes the parse took.
ReadStatus ReadDocument(DocNode& node, ByteStream& stream);
// The same over `count` borrowed bytes.
ReadStatus ReadDocumentBytes(DocNode& node, const uint8_t* bytes, uint32_t count);

// Encodes `node` and its subtree with DocumentWriter (into a MemoryStream's
// own block, grown once; to any other stream in pieces). Returns false
// when the stream took fewer bytes than were written to it.
bool WriteDocument(const DocNode& node, ByteStream& stream);

// Reads the file at `path` with one read and parses it from memory, as
// ReadDocument does; kNotOpened, with `node` untouched, when the file
// cannot be opened.
ReadStatus LoadDocumentFile(DocNode& node, const std::filesystem::path& path);

// Creates (or truncates) `path` and writes the document. False when the
// file cannot be created or not every byte could be written.
bool SaveDocumentFile(const DocNode& node, const std::filesystem::path& path);

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_
