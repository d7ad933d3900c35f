#pragma once
// A device running a test firmware under virtual time.
#include "VirtualHostFixture.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "platform/Exception.h"

#include <functional>
#include <memory>
#include <vector>

class DeviceTest : public VirtualHostTest {
  protected:
    void SetUp() override {
        device = std::make_unique<TDevice>([this] { Firmware(); }, &backlight);
        g_Device = device.get();
        host.RunUntilIdle();
    }
    void TearDown() override {
        device.reset();
        g_Device = nullptr;
    }

    // By default the firmware records every key it is given, and whether it
    // was left by power-off (where the real firmware saves its state).
    void Firmware() {
        ++starts;
        backlight = 1; // restored at each power-on
        try {
            if (body) body();
            for (;;)
                keys.push_back(WaitKey());
        } catch (const Exception& e) {
            if (e.Message().empty()) ++powerOffs;
            backlight = 0; // the instrument goes dark as it switches off
            throw;
        }
    }

    void Press(int16_t key, uint32_t ms) {
        ButtonDown(device->Buttons(), key);
        host.Advance(ms);
        ButtonUp(device->Buttons());
        host.RunUntilIdle();
    }
    void PowerOn() { Press(KEY_K1, 500); }

    int16_t backlight = 1;
    std::function<void()> body;
    std::vector<int16_t> keys;
    int starts = 0;
    int powerOffs = 0;
    std::unique_ptr<TDevice> device;
};
