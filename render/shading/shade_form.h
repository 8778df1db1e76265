// The two ways a shaded deposit is rounded. The two modules compute the same ten
// samples per cell and the same weights, rounded at a few steps in their own ways,
// and each renders as its own platform's hosts expect:
//  - multiplying (the macOS module): the step between samples is the stretch times
//    0.1, the mean the sum times 0.1f; the first partial cell's samples lie at k
//    times the step, its width and the last cell's start are taken as s x 255 / L
//    and p x 255 / L; a cell takes (factor x amount) x (1, R, G, B);
//  - dividing (the Windows module): the step is the stretch divided by 10.0 (which
//    gives the product's float, tenthOf below), the mean the sum divided by 10.0f;
//    every cell's samples are running sums, and every stretch goes through the run's
//    quotient 255 / L; a cell takes factor x (amount x (1, R, G, B)).
// A sample whose position lies within rounding of a whole number can land one entry
// apart in the two forms, and colour sums can differ in their last bits.
#pragma once

enum class ShadeForm {
    kMultiplying,
    kDividing,
};

// The build's form: dividing in the Windows module, and wherever
// ONDRAVA_WINDOWS_SHADING asks for it.
#if defined(ONDRAVA_WINDOWS_SHADING) && ONDRAVA_WINDOWS_SHADING
constexpr ShadeForm kShadeForm = ShadeForm::kDividing;
#else
constexpr ShadeForm kShadeForm = ShadeForm::kMultiplying;
#endif

// A tenth of a cell's stretch of the table, the step between its samples: the
// stretch times 0.1 or divided by 10.0 in double, rounded to float. Both give the
// same float for every float stretch (each of the 2^32 was compared): a float tenth
// of a float never lies within a double's rounding of the midpoint between two
// floats. So both forms take the product, which keeps divisions out of the loop
// over a run's cells.
inline float tenthOf(float width) { return float(double(width) * 0.1); }

// The mean of a cell's ten samples from their sum.
template <ShadeForm Form>
inline float meanOfTen(float sum) {
    if constexpr (Form == ShadeForm::kMultiplying) return sum * 0.1f;
    return sum / 10.0f;
}
