#ifndef VIDORA_TOOLS_QDOC_JSON_DOCUMENT_H_
#define VIDORA_TOOLS_QDOC_JSON_DOCUMENT_H_

#include <string>

#include <nlohmann/json.hpp>

#include "core/document/doc_node.h"

namespace vidora {

// The readable JSON form of a document node:
//   {"name": S, "attributes": [{"name": S, "type": T, "value": V}...],
//    "children": [node...]}
// with T one of "plain", "int", "bool", "word3", "word4", "value64",
// "string", "wstring", "binary", or a number 9-255 (no "value").
nlohmann::ordered_json DocumentToJson(const DocNode& node);

// Fills `node` from the JSON form. Returns false and sets `error` to a
// one-line reason when the form is wrong.
bool JsonToDocument(const nlohmann::ordered_json& json, DocNode& node, std::string& error);

}  // namespace vidora

#endif  // VIDORA_TOOLS_QDOC_JSON_DOCUMENT_H_
