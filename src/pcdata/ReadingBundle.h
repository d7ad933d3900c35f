#pragma once
// The store's readings as one block of bytes, for a transfer whose two ends
// live in different programs (the web page's instrument and its database
// module): the sender packs what ReadStoreReadings gave, the receiver unpacks
// it and adds it to its database. Little-endian, versioned, every length
// checked on the way in: a block that is cut short or not ours is refused
// whole with a reason, never read past its end.
#include "pcdata/StoreReadings.h"

#include <string>
#include <string_view>
#include <vector>

std::string PackReadings(const std::vector<TStoreReading>& readings);
bool UnpackReadings(std::string_view bytes, std::vector<TStoreReading>& readings, std::string& error);
