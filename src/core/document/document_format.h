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
// position into it. Returns true when the whole tree was read. A wrong
// root magic, a short read, a count the remaining input cannot hold, a
// nesting deeper than kMaxDocumentDepth or an allocation failure return
// false and leave `node` empty (its name included). A child whose own
// magic is wrong is kept as an empty child under the empty name and the
// parse goes on, as the format prescribes.
// The stream is read once to its end (a MemoryStream is parsed in place)
// and left right after the bytes the parse took.
bool ReadDocument(DocNode& node, ByteStream& stream);
// The same, naming why a parse failed: kBadMagic (the root's magic),
// kTruncated, kTooLarge (a count or length beyond the input), kTooDeep or
// kOutOfMemory.
ReadStatus ReadDocumentStatus(DocNode& node, ByteStream& stream);
// The same over `count` borrowed bytes.
ReadStatus ReadDocumentBytes(DocNode& node, const uint8_t* bytes, uint32_t count);

// Encodes `node` and its subtree. Returns false when the stream took fewer
// bytes than were written to it.
bool WriteDocument(const DocNode& node, ByteStream& stream);

// Opens `path` for reading; false without touching `node` when it cannot
// be opened, else the result of ReadDocument.
// The file is read with one read and parsed from memory.
bool LoadDocumentFile(DocNode& node, const std::filesystem::path& path);
// The same, naming what went wrong (kNotOpened when the file could not be
// opened; `node` is then untouched).
ReadStatus LoadDocumentFileStatus(DocNode& node, const std::filesystem::path& path);

// Creates (or truncates) `path` and writes the document. False when the
// file cannot be created or not every byte could be written.
bool SaveDocumentFile(const DocNode& node, const std::filesystem::path& path);

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_
