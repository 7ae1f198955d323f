// The editor tables, one per editor kind of the device catalogue (the
// catalogue's `Editor` column is the one device → kind table: the device
// record, the main window and these editors all read it).
#pragma once

#include <cstdint>

#include "CodecConf.h"

// Table of an editor kind (TEditorConf); nullptr when the kind has none.
const TTablaConf* TablaConf(uint8_t tipo);

const TTablaConf& Tabla16F8x();
