// Placeholder: replaced by the state file reader and writer.
#include "docstate.h"
namespace lumivex::document {
bool writeDocState(const QString &, const DocState &) { return false; }
DocState readDocState(const QString &) { return {}; }
}
