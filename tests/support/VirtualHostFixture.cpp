#include "VirtualHostFixture.h"
