#pragma once

#include "catalog/records.h"

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

class JsonWriter;

// pelmora-cli dump FILE.PMB: the label of a label file as JSON on standard output. Fields
// carry their record names; a folder's entries are nested under it; images show their file
// header and DIB size, not their pixels. A damaged file is dumped as far as it was read,
// with its warning on standard error, and exits with 2. Returns the exit code; throws
// UsageError / InputError.
int runDump(const std::vector<std::string>& args, std::ostream& out);

// The parts of a label as JSON values, for other dumps of the same records.
void writeFontJson(JsonWriter& json, const LOGFONTA& font);
void writeLabelBlockJson(JsonWriter& json, const VAROINFO& label);
void writeEntriesJson(JsonWriter& json, const VAROINFO& node);
void writeObjectJson(JsonWriter& json, const PlacedObject& object);

} // namespace pelmora::cli
