#pragma once
// A fresh virtual-time host installed for each test.
#include "platform/VirtualHost.h"

#include <gtest/gtest.h>

class VirtualHostTest : public ::testing::Test {
  protected:
    TVirtualHost host;
    THostInstall install{host};
};
