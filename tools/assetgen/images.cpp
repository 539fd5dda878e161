#include "images.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "canvas.h"
#include "writers.h"

namespace {

const double kPi = 3.14159265358979323846;

// ---- Signed distances in normalised sprite coordinates (-1..1, y up); negative inside.
double sdCircle(double x, double y, double cx, double cy, double r) {
    return std::hypot(x - cx, y - cy) - r;
}

double sdCapsule(double x, double y, double ax, double ay, double bx, double by, double r) {
    const double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const double t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - dx * t, py - dy * t) - r;
}

double sdRegularPolygon(double x, double y, int sides, double r, double rotation) {
    const double a = std::atan2(y, x) - rotation;
    const double sector = 2 * kPi / sides;
    const double local = std::fmod(std::fmod(a, sector) + sector, sector) - sector / 2;
    const double d = std::hypot(x, y);
    return d * std::cos(local) - r * std::cos(sector / 2);
}

double sdStar(double x, double y, int points, double outer, double inner) {
    const double a = std::atan2(y, x) + kPi / 2;
    const double sector = 2 * kPi / points;
    double local = std::fmod(std::fmod(a, sector) + sector, sector);
    local = std::fabs(local - sector / 2) / (sector / 2); // 0 at a tip, 1 between tips
    const double edge = outer + (inner - outer) * local;
    return std::hypot(x, y) - edge;
}

double unite(double a, double b) {
    return std::min(a, b);
}

double cut(double a, double b) {
    return std::max(a, -b);
}

// A shaded, outlined sprite: `shape` gives the distance, `paint` the base colour at a point.
// Hard edges only: every pixel is either the key colour or art, so the key stays exact.
Canvas renderSprite(int size, Rgb key, double outline,
                    const std::function<double(double, double)>& shape,
                    const std::function<Rgb(double, double, double)>& paint) {
    Canvas c(size, size, key);
    const double px = 2.0 / size;
    const Rgb outlineColour = {22, 20, 30};
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double x = (i + 0.5) * px - 1;
            const double y = 1 - (j + 0.5) * px;
            const double d = shape(x, y);
            if (d >= 0) {
                continue;
            }
            if (d > -outline) {
                c.set(i, j, outlineColour);
                continue;
            }
            // Bevel: the surface rises over a band inside the outline; light from upper left.
            const double e = 0.01;
            const double gx = shape(x + e, y) - shape(x - e, y);
            const double gy = shape(x, y + e) - shape(x, y - e);
            const double depth = clamp01((-d - outline) / 0.18);
            const double gl = std::hypot(gx, gy) + 1e-9;
            const double nx = -gx / gl * (1 - depth);
            const double ny = -gy / gl * (1 - depth);
            const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
            const double light = 0.62 * (-0.55 * nx + 0.55 * ny) + 0.38 * nz + 0.45;
            Rgb base = paint(x, y, d);
            c.set(i, j, scale(base, std::clamp(light, 0.45, 1.25)));
        }
    }
    return c;
}

// ---- Ships: eight silhouettes, top-down and roughly round, each in its own colour.
struct ShipDesign {
    Rgb hull;
    Rgb trim;
    std::function<double(double, double)> shape;
    std::function<bool(double, double)> trimArea;
};

std::vector<ShipDesign> shipDesigns() {
    std::vector<ShipDesign> d;
    // 1: saucer, red.
    d.push_back({{225, 40, 40},
                 {255, 200, 60},
                 [](double x, double y) { return sdCircle(x, y * 1.25, 0, 0, 0.92); },
                 [](double x, double y) {
                     const double r = std::hypot(x, y * 1.25);
                     return r < 0.34 || (r > 0.58 && r < 0.7);
                 }});
    // 2: cross fighter, cyan.
    d.push_back({{30, 200, 230},
                 {240, 240, 255},
                 [](double x, double y) {
                     return unite(unite(sdCapsule(x, y, -0.78, 0, 0.78, 0, 0.2),
                                        sdCapsule(x, y, 0, -0.78, 0, 0.78, 0.2)),
                                  sdCircle(x, y, 0, 0, 0.45));
                 },
                 [](double x, double y) { return std::hypot(x, y) < 0.24; }});
    // 3: hexagon, yellow.
    d.push_back({{240, 210, 30},
                 {180, 60, 20},
                 [](double x, double y) { return sdRegularPolygon(x, y, 6, 0.9, 0); },
                 [](double x, double y) { return sdRegularPolygon(x, y, 6, 0.4, kPi / 6) < 0; }});
    // 4: three wings, green.
    d.push_back(
        {{60, 210, 70},
         {250, 250, 200},
         [](double x, double y) {
             double s = sdCircle(x, y, 0, 0, 0.42);
             for (int k = 0; k < 3; ++k) {
                 const double a = kPi / 2 + k * 2 * kPi / 3;
                 s = unite(s, sdCapsule(x, y, 0, 0, 0.75 * std::cos(a), 0.75 * std::sin(a), 0.22));
             }
             return s;
         },
         [](double x, double y) { return std::hypot(x, y) < 0.22; }});
    // 5: ring with a pod, orange.
    d.push_back({{255, 130, 20},
                 {90, 40, 140},
                 [](double x, double y) {
                     const double ring = cut(sdCircle(x, y, 0, 0, 0.92), sdCircle(x, y, 0, 0, 0.6));
                     const double struts = unite(sdCapsule(x, y, -0.7, 0, 0.7, 0, 0.14),
                                                 sdCapsule(x, y, 0, -0.7, 0, 0.7, 0.14));
                     return unite(unite(ring, struts), sdCircle(x, y, 0, 0, 0.3));
                 },
                 [](double x, double y) { return std::hypot(x, y) < 0.3; }});
    // 6: diamond, pink.
    d.push_back({{250, 80, 170},
                 {255, 240, 120},
                 [](double x, double y) {
                     return unite(sdRegularPolygon(x, y, 4, 0.8, kPi / 2),
                                  sdCircle(x, y, 0, 0, 0.5));
                 },
                 [](double x, double y) { return sdRegularPolygon(x, y, 4, 0.28, kPi / 2) < 0; }});
    // 7: five-pointed star, silver.
    d.push_back({{200, 210, 230},
                 {40, 90, 200},
                 [](double x, double y) { return sdStar(x, y, 5, 0.95, 0.5); },
                 [](double x, double y) { return std::hypot(x, y) < 0.26; }});
    // 8: gear, blue.
    d.push_back({{50, 100, 250},
                 {120, 255, 255},
                 [](double x, double y) {
                     return unite(sdCircle(x, y, 0, 0, 0.7), sdStar(x, y, 8, 0.95, 0.62));
                 },
                 [](double x, double y) {
                     const double r = std::hypot(x, y);
                     return r < 0.25 || (r > 0.42 && r < 0.5);
                 }});
    return d;
}

Canvas drawShip(const ShipDesign& design, int size) {
    return renderSprite(size, kMagenta, 0.09, design.shape, [&](double x, double y, double) {
        if (design.trimArea(x, y)) {
            // The cockpit glass: a sheen on the upper left.
            const double sheen = clamp01(1 - std::hypot(x + 0.08, y - 0.08) / 0.3);
            return mix(design.trim, Rgb{255, 255, 240}, 0.35 * sheen);
        }
        return design.hull;
    });
}

// ---- Asteroid: a lumpy rock with craters, lit from the upper left.
Canvas drawAsteroid(int size) {
    auto radiusAt = [](double a) {
        return 0.8 +
               0.14 * (valueNoise(std::cos(a) * 1.6 + 3, std::sin(a) * 1.6 + 3, 77) - 0.5) * 2;
    };
    auto shape = [&](double x, double y) { return std::hypot(x, y) - radiusAt(std::atan2(y, x)); };
    struct Crater {
        double x, y, r;
    };
    const Crater craters[] = {{-0.3, 0.25, 0.2},
                              {0.35, -0.2, 0.24},
                              {0.1, 0.5, 0.12},
                              {-0.35, -0.4, 0.15},
                              {0.45, 0.3, 0.1}};
    return renderSprite(size, kMagenta, 0.08, shape, [&](double x, double y, double d) {
        const double rock = fractalNoise(x * 6 + 10, y * 6 + 10, 5, 5);
        Rgb c = mix(Rgb{95, 82, 70}, Rgb{170, 150, 125}, rock);
        for (const Crater& k : craters) {
            const double q = std::hypot(x - k.x, y - k.y) / k.r;
            if (q < 1) {
                // The crater floor is shadowed on the lit side, its far rim catches light.
                const double rim = (x - k.x) * -0.7 + (y - k.y) * 0.7;
                c = scale(c, q < 0.8 ? 0.72 - 0.25 * rim / k.r : 1.15);
            }
        }
        // Whole-body light on a rough sphere.
        const double r = std::hypot(x, y);
        const double nz = std::sqrt(std::max(0.0, 1 - r * r));
        const double lit = 0.55 + 0.45 * clamp01(-0.5 * x + 0.5 * y + 0.6 * nz);
        (void)d;
        return scale(c, lit);
    });
}

// ---- Planet: banded ocean world with continents and a glowing atmosphere rim.
Canvas drawPlanet(int size) {
    const double body = 0.84;
    auto shape = [&](double x, double y) { return sdCircle(x, y, 0, 0, 0.97); };
    Canvas c = renderSprite(size, kMagenta, 0.05, shape, [&](double x, double y, double) {
        const double r = std::hypot(x, y);
        if (r > body) {
            const double t = (r - body) / (0.92 - body);
            return mix(Rgb{140, 210, 255}, Rgb{60, 120, 220}, clamp01(t));
        }
        const double nz = std::sqrt(std::max(0.0, 1 - (r / body) * (r / body)));
        const double land = fractalNoise(x * 3 + 4, y * 3 + 7, 19, 5);
        const double bands = 0.5 + 0.5 * std::sin(y * 14 + 3 * fractalNoise(x * 2, y * 2, 3, 3));
        Rgb surface = land > 0.56 ? mix(Rgb{60, 150, 60}, Rgb{170, 150, 90}, (land - 0.56) * 4)
                                  : mix(Rgb{30, 80, 180}, Rgb{50, 120, 210}, bands);
        if (land > 0.7) {
            surface = Rgb{235, 235, 240}; // snow caps and cloud
        }
        const double lit = 0.3 + 0.85 * clamp01(-0.55 * x / body + 0.45 * y / body + 0.6 * nz);
        return scale(surface, lit);
    });
    return c;
}

// ---- Turret: armoured octagon with a glowing core.
Canvas drawTurret(int size) {
    return renderSprite(
        size, kMagenta, 0.1,
        [](double x, double y) { return sdRegularPolygon(x, y, 8, 0.9, kPi / 8); },
        [](double x, double y, double) {
            const double r = std::hypot(x, y);
            if (r < 0.3) {
                return Rgb{255, 60, 30};
            }
            if (r < 0.45) {
                return Rgb{60, 60, 70};
            }
            const double plate = fractalNoise(x * 4, y * 4, 8, 3);
            return mix(Rgb{120, 125, 135}, Rgb{165, 170, 180}, plate);
        });
}

// ---- Crosshair: a ring with four ticks.
Canvas drawCrosshair(int size) {
    Canvas c(size, size, kMagenta);
    const double px = 2.0 / size;
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double x = (i + 0.5) * px - 1;
            const double y = 1 - (j + 0.5) * px;
            const double r = std::hypot(x, y);
            const bool ring = r > 0.55 && r < 0.78;
            const bool tick = (std::fabs(x) < 0.1 && std::fabs(y) > 0.35 && std::fabs(y) < 0.98) ||
                              (std::fabs(y) < 0.1 && std::fabs(x) > 0.35 && std::fabs(x) < 0.98);
            const bool ringEdge = (r > 0.47 && r < 0.86) ||
                                  (std::fabs(x) < 0.18 && std::fabs(y) > 0.27) ||
                                  (std::fabs(y) < 0.18 && std::fabs(x) > 0.27);
            if (ring || tick) {
                c.set(i, j, {255, 70, 40});
            } else if (ringEdge && r < 1.0) {
                c.set(i, j, {60, 10, 10});
            }
        }
    }
    return c;
}

// ---- Shots: a hot core in a coloured halo.
Canvas drawShot(int size, Rgb core, Rgb halo) {
    return renderSprite(
        size, kMagenta, 0.12, [](double x, double y) { return sdCircle(x, y, 0, 0, 0.95); },
        [&](double x, double y, double) {
            return mix(core, halo, clamp01(std::hypot(x, y) / 0.85));
        });
}

// ---- Particle strips: four frames side by side on white, with no white inside.
Canvas drawStrip(int frame, Rgb hot, Rgb cool, double startRadius, double endRadius) {
    Canvas c(frame * 4, frame, kWhite);
    for (int k = 0; k < 4; ++k) {
        const double radius = startRadius + (endRadius - startRadius) * k / 3.0;
        const double cx = k * frame + frame / 2.0;
        const double cy = frame / 2.0;
        for (int y = 0; y < frame; ++y) {
            for (int x = k * frame; x < (k + 1) * frame; ++x) {
                const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
                if (d <= radius) {
                    Rgb p = mix(hot, cool, clamp01(d / radius * 0.8 + k * 0.15));
                    p.r = std::min(p.r, 250.0f);
                    p.g = std::min(p.g, 250.0f);
                    p.b = std::min(p.b, 250.0f);
                    c.set(x, y, p);
                }
            }
        }
    }
    return c;
}

// ---- Background: a soft nebula whose light stays in a narrow mid-tone band, so black
// and white text both read everywhere, and which holds no pure black pixel.
double toLinear(double v) {
    v /= 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double toSrgb(double v) {
    v = clamp01(v);
    return 255.0 * (v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055);
}

Rgb withLuminance(Rgb c, double target) {
    double r = toLinear(c.r), g = toLinear(c.g), b = toLinear(c.b);
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double k = target / std::max(y, 1e-6);
    r = std::min(1.0, r * k);
    g = std::min(1.0, g * k);
    b = std::min(1.0, b * k);
    return {float(std::max(12.0, toSrgb(r))), float(std::max(12.0, toSrgb(g))),
            float(std::max(12.0, toSrgb(b)))};
}

Canvas drawBackground(int w, int h) {
    Canvas c(w, h, {});
    const Rgb deep = {60, 70, 150};
    const Rgb violet = {150, 70, 160};
    const Rgb teal = {40, 140, 150};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double u = x / 400.0;
            const double v = y / 400.0;
            const double cloud = fractalNoise(u, v, 11, 6);
            const double hue = fractalNoise(u * 0.7 + 9, v * 0.7 + 2, 23, 4);
            Rgb col =
                mix(mix(deep, violet, clamp01(cloud * 1.6 - 0.3)), teal, clamp01(hue * 1.8 - 0.8));
            const double lum = 0.165 + 0.05 * (cloud - 0.5);
            c.set(x, y, withLuminance(col, lum));
        }
    }
    // Stars: sparse small points, a few with a cross glint.
    Random rng(4242);
    for (int i = 0; i < 900; ++i) {
        const int x = int(rng.range(0, w));
        const int y = int(rng.range(0, h));
        const double bright = rng.range(0.3, 1.0);
        const Rgb star = mix(c.get(x, y), Rgb{255, 250, 235}, bright);
        c.set(x, y, star);
        if (bright > 0.85) {
            const Rgb glint = mix(c.get(x, y), Rgb{230, 235, 255}, 0.5);
            c.set(x + 1, y, glint);
            c.set(x - 1, y, glint);
            c.set(x, y + 1, glint);
            c.set(x, y - 1, glint);
        }
    }
    return c;
}

struct Sprites {
    Canvas background, planet, asteroid, shipBullet, turretBullet, turret, crosshair, exhaust,
        explosion;
    std::vector<Canvas> ships, shipExplosions;
};

Sprites drawAll() {
    Sprites s;
    s.background = drawBackground(1600, 1200);
    s.planet = drawPlanet(1800);
    s.asteroid = drawAsteroid(1500);
    s.shipBullet = drawShot(600, {255, 255, 210}, {255, 170, 40});
    s.turretBullet = drawShot(600, {255, 220, 180}, {240, 40, 30});
    s.turret = drawTurret(700);
    s.crosshair = drawCrosshair(500);
    s.exhaust = drawStrip(6, {255, 240, 150}, {230, 80, 20}, 2.9, 1.4);
    s.explosion = drawStrip(9, {255, 245, 170}, {200, 50, 20}, 4.4, 2.4);
    for (const ShipDesign& d : shipDesigns()) {
        s.ships.push_back(drawShip(d, 600));
        s.shipExplosions.push_back(
            drawStrip(9, mix(d.hull, Rgb{250, 250, 240}, 0.5), d.hull, 4.4, 2.2));
    }
    return s;
}

std::string designNumber(int n) {
    std::string s = std::to_string(n);
    while (s.size() < 3) {
        s = "0" + s;
    }
    return s;
}

// Pastes `sprite` onto `sheet` with its top-left at (x, y), leaving the key colour out.
void paste(Canvas& sheet, const Canvas& sprite, int x, int y, Rgb key) {
    for (int j = 0; j < sprite.h; ++j) {
        for (int i = 0; i < sprite.w; ++i) {
            const Rgb p = sprite.get(i, j);
            if (p.r == key.r && p.g == key.g && p.b == key.b) {
                continue;
            }
            sheet.set(x + i, y + j, p);
        }
    }
}

} // namespace

bool writeImages(const std::string& out) {
    const Sprites s = drawAll();
    bool ok = true;
    ok &= writePng(out + "/images/backgrounds/background.png", s.background);
    ok &= writePng(out + "/images/objects/planet.png", s.planet);
    ok &= writePng(out + "/images/objects/asteroid.png", s.asteroid);
    ok &= writePng(out + "/images/objects/turret.png", s.turret);
    ok &= writePng(out + "/images/bullets/shipBullet.png", s.shipBullet);
    ok &= writePng(out + "/images/bullets/turretBullet.png", s.turretBullet);
    ok &= writePng(out + "/images/misc/crosshairs.png", s.crosshair);
    ok &= writePng(out + "/images/particles/exaustParticle.png", s.exhaust);
    ok &= writePng(out + "/images/particles/explosionParticle.png", s.explosion);
    for (size_t i = 0; i < s.ships.size(); ++i) {
        const std::string n = designNumber(int(i) + 1);
        ok &= writePng(out + "/images/ships/ship_" + n + ".png", s.ships[i]);
        ok &= writePng(out + "/images/particles/shipExplosionParticle_" + n + ".png",
                       s.shipExplosions[i]);
    }
    // The desktop icon: the first ship over a piece of the nebula.
    Canvas icon = zoomNearest(s.background, 0.04);
    Canvas iconShip = zoomNearest(s.ships[0], 56.0 / 600);
    Canvas square(64, 64, {});
    paste(square, icon, 0, 0, Rgb{-1, -1, -1});
    paste(square, iconShip, 4, 4, kMagenta);
    ok &= writePng(out + "/icons/stellarox.png", square);
    return ok;
}

bool writeContactSheet(const std::string& path) {
    const Sprites s = drawAll();
    // At 640 x 480 the sprite scale is 0.4: the zoom factors the game uses.
    const double k = 0.4;
    Canvas sheet = zoomNearest(s.background, 0.4);
    sheet = Canvas(sheet.w, 260, {});
    const Canvas bg = zoomNearest(s.background, 0.4);
    paste(sheet, bg, 0, 0, Rgb{-1, -1, -1});
    int x = 12;
    auto place = [&](const Canvas& c, double zoom, int y) {
        const Canvas z = zoomNearest(c, zoom);
        paste(sheet, z, x, y - z.h / 2, kMagenta);
        x += z.w + 12;
    };
    place(s.planet, k / 10, 50);
    const double asteroidZoom[5] = {68.846, 43.029, 24.588, 17.212, 8.196};
    for (double a : asteroidZoom) {
        place(s.asteroid, k / a, 50);
    }
    place(s.turret, k / 10, 50);
    place(s.crosshair, k / 10, 50);
    place(s.shipBullet, k / 60, 50);
    place(s.turretBullet, k / 60, 50);
    place(s.shipBullet, k / 18, 50);
    x = 12;
    for (const Canvas& ship : s.ships) {
        place(ship, k / 10, 120);
    }
    x = 12;
    for (size_t i = 0; i < 3; ++i) {
        place(s.ships[i], k * 0.5, 195);
    }
    paste(sheet, s.exhaust, x, 120, kWhite);
    paste(sheet, s.explosion, x, 140, kWhite);
    for (size_t i = 0; i < s.shipExplosions.size(); ++i) {
        paste(sheet, s.shipExplosions[i], x + 50 + int(i) * 40, 140, kWhite);
    }
    return writePng(path, sheet);
}
