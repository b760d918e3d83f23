#include "documents.h"

namespace {

DocumentService* g_documents = nullptr;

} // namespace

DocumentService* Documents() { return g_documents; }

void SetDocuments(DocumentService* documents) { g_documents = documents; }
