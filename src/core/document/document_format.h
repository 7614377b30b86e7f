#ifndef VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_
#define VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_

#include <filesystem>

#include "core/document/byte_stream.h"
#include "core/document/doc_node.h"

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
bool ReadDocument(DocNode& node, ByteStream& stream);

// Encodes `node` and its subtree. Returns false when the stream took fewer
// bytes than were written to it.
bool WriteDocument(const DocNode& node, ByteStream& stream);

// Opens `path` for reading; false without touching `node` when it cannot
// be opened, else the result of ReadDocument.
bool LoadDocumentFile(DocNode& node, const std::filesystem::path& path);

// Creates (or truncates) `path` and writes the document. False when the
// file cannot be created or not every byte could be written.
bool SaveDocumentFile(const DocNode& node, const std::filesystem::path& path);

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOCUMENT_FORMAT_H_
