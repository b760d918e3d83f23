#include <optical_bench/scene.h>

#include <mutex>
#include <vector>

namespace optical_bench {
namespace {

struct Scene {
    std::mutex mutex;
    std::function<double()> shift;
    std::vector<std::uint8_t> pattern;
    int width = 0;
    int height = 0;
    int period = 0;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

} // namespace

void SetSceneShift(std::function<double()> shift)
{
    Scene& scene = TheScene();
    std::lock_guard lock(scene.mutex);
    scene.shift = std::move(shift);
}

void ShowPattern(const std::uint8_t* pattern, int width, int height, int period)
{
    Scene& scene = TheScene();
    std::lock_guard lock(scene.mutex);
    scene.pattern.assign(pattern, pattern + std::size_t(width) * std::size_t(height));
    scene.width = width;
    scene.height = height;
    scene.period = period;
}

void HidePattern()
{
    Scene& scene = TheScene();
    std::lock_guard lock(scene.mutex);
    scene.pattern.clear();
}

void RenderScene(std::uint8_t* plane, int width, int height)
{
    Scene& scene = TheScene();
    std::unique_lock lock(scene.mutex);
    const double shift = scene.shift ? scene.shift() : 0.0;
    Interferometer camera(width, height, [shift] { return shift; });
    if (!scene.pattern.empty() && scene.width == width && scene.height == height)
        camera.Project(scene.pattern.data(), scene.period);
    lock.unlock();
    camera.Render(plane);
}

} // namespace optical_bench
