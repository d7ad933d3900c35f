#include "pcdata/RealDft.h"

#include <fftw3.h>

#include <memory>
#include <mutex>

namespace {

// FFTW's planner is not thread-safe; execution of a plan is.
std::mutex g_PlanLock;

struct TPlanDeleter {
    void operator()(fftw_plan_s* plan) const {
        const std::lock_guard lock(g_PlanLock);
        fftw_destroy_plan(plan);
    }
};

} // namespace

std::vector<std::complex<double>> RealDft(const std::vector<double>& values) {
    const std::size_t n = values.size();
    if (n == 0) return {};
    std::unique_ptr<double, decltype(&fftw_free)> in(fftw_alloc_real(n), &fftw_free);
    std::unique_ptr<fftw_complex, decltype(&fftw_free)> out(fftw_alloc_complex(n / 2 + 1), &fftw_free);
    std::unique_ptr<fftw_plan_s, TPlanDeleter> plan;
    {
        const std::lock_guard lock(g_PlanLock);
        plan.reset(fftw_plan_dft_r2c_1d(static_cast<int>(n), in.get(), out.get(), FFTW_ESTIMATE));
    }
    std::copy(values.begin(), values.end(), in.get());
    fftw_execute(plan.get());
    std::vector<std::complex<double>> result(n / 2 + 1);
    for (std::size_t k = 0; k < result.size(); ++k)
        result[k] = {out.get()[k][0], out.get()[k][1]};
    return result;
}
