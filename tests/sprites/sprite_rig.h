#pragma once
#include <memory>

#include "compose/scene_runner.h"
#include "support/headless_scene.h"
#include "support/scripted_clock.h"
#include "support/scripted_random.h"

namespace vistaloom::testing {

// A headless scene on a scripted clock and random sequence. Whatever the set-up drew is
// forgotten, so each test queues exactly the numbers its step draws.
struct SpriteRig {
    ScriptedClock clock;
    ScriptedRandom random;
    std::unique_ptr<HeadlessScene> owner;

    explicit SpriteRig(int32_t width = 1024, int32_t height = 768,
                       const SaverSettings& settings = SaverSettings{}) {
        random.set_fallback(0.5);
        owner = std::make_unique<HeadlessScene>(width, height, clock, random, settings);
        random.has_fallback = false;
        random.values.clear();
        random.draws = 0;
        random.reseeds = 0;
    }

    Scene& scene() { return owner->scene; }
    RunState& run() { return owner->run; }
    SpriteTables& tables() { return owner->tables; }
    SceneSurfaces& surfaces() { return owner->surfaces; }
    sprite_rec& slot(int32_t n) { return owner->tables.sprites[n]; }
    void queue(std::initializer_list<double> values) {
        for (double v : values) random.push(v);
    }
};

}  // namespace vistaloom::testing
