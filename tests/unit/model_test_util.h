// model_test_util.h — hand-written IQE models and a fixture that gives each test an empty model table
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "models/model.h"
#include "test_util.h"

// A scratch folder with the log open at full detail and an empty model table; every model is
// freed on leaving.
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        open_logfile();
        global_log_level = 5;
        model_setup();
    }
    void TearDown() override { model_free_all(); }

    uint8_t load(const std::string &text, uint16_t slot = 0) {
        return model_load_iqe_text(text.data(), text.size(), slot);
    }
    model *slot(uint16_t index = 0) { return global_model_data[index]; }

  private:
    ScratchDir dir_;
};

// A two-bone arm along x: the upper bone at the origin, the lower bone at (1, 0, 0). Vertex 0
// follows the upper bone, vertex 1 the lower, vertex 2 (at the elbow) both equally. Frame 1 bends
// the elbow 90 degrees about z; frame 2 turns the shoulder 90 degrees about z.
static const char *const two_bone_arm_iqe =
    "# Inter-Quake Export\n"
    "joint \"upper\" -1\n"
    "joint \"lower\" 0\n"
    "pq 0 0 0 0 0 0 1\n"
    "pq 1 0 0 0 0 0 1\n"
    "mesh \"arm\"\n"
    "vp 0.5 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1\n"
    "vp 1.5 0 0\nvt 1 0\nvn 0 0 1\nvb 1 1\n"
    "vp 1 0 0\nvt 0.5 1\nvn 0 0 1\nvb 0 0.5 1 0.5\n"
    "fm 0 1 2\n"
    "animation \"BEND\"\n"
    "framerate 10\n"
    "frame\n"
    "pq 0 0 0 0 0 0 1\n"
    "pq 1 0 0 0 0 0.70710678 0.70710678\n"
    "frame\n"
    "pq 0 0 0 0 0 0.70710678 0.70710678\n"
    "pq 1 0 0 0 0 0 1\n";
