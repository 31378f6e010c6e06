#include "platform/GlDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/D3DX9.h"
#include "platform/GlxBackBuffer.h"
#include "platform/GlTexture.h"
#include "platform/GlVertexBuffer.h"

namespace {

const char* vertexShaderSource = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uMatrix;
uniform vec2 uPixelOffset;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
    vec4 p = vec4(aPosition, 1.0) * uMatrix;
    // Direct3D puts pixel centres on whole coordinates and clips depth to 0..w.
    p.xy += uPixelOffset * p.w;
    p.z = 2.0 * p.z - p.w;
    gl_Position = p;
    vColor = aColor;
    vTexCoord = aTexCoord;
}
)";

// The fragment shader is specialised for each combination of stage-0 colour and alpha operations,
// their argument sources, texturing and alpha-test function that draws use: the defines in front
// of this text say what to compute, so that a fragment runs only the instructions its draw needs
// (a texture modulated by the vertex colour without alpha test is a sample and a multiply).
const char* fragmentShaderBody = R"(
in vec4 vColor;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform vec4 uTextureFactor;
uniform float uAlphaRef;
out vec4 fragColor;
void main() {
    vec4 result = vColor;
#ifdef SAMPLES_TEXTURE
    vec4 texel = texture(uTexture, vTexCoord);
#endif
#ifdef COLOR_RESULT
    result.rgb = (COLOR_RESULT).rgb;
#endif
#ifdef ALPHA_RESULT
    result.a = (ALPHA_RESULT).a;
#endif
#if defined(ALPHA_NEVER)
    discard;
#elif defined(ALPHA_COMPARE)
    float a = floor(result.a * 255.0 + 0.5);
    if (!(a ALPHA_COMPARE uAlphaRef)) discard;
#endif
    fragColor = result;
}
)";

// A specialised fragment shader's key: texturing (bit 0), colour operation (bits 1-3) and its
// argument sources (bits 4-5, 6-7), alpha operation (bits 8-10) and its sources (bits 11-12,
// 13-14), alpha-test function (bits 15-18, 0 for none). Operations are D3DTOP values 1 to 7 (any
// other one modulates); a source is 0 for the vertex colour, 1 for the texel, 2 for the texture
// factor. What cannot change the result is left out of the key, so that it names one program.
uint32_t stageSource(DWORD arg) {
    switch (arg & 15) {
        case D3DTA_TEXTURE: return 1;
        case D3DTA_TFACTOR: return 2;
        default: return 0;
    }
}

uint32_t stageOperationKey(DWORD op, DWORD arg1, DWORD arg2) {
    const uint32_t o = (op >= D3DTOP_DISABLE && op <= D3DTOP_ADD) ? uint32_t(op) : uint32_t(D3DTOP_MODULATE);
    const uint32_t s1 = (o == D3DTOP_DISABLE || o == D3DTOP_SELECTARG2) ? 0 : stageSource(arg1);
    const uint32_t s2 = (o == D3DTOP_DISABLE || o == D3DTOP_SELECTARG1) ? 0 : stageSource(arg2);
    // The texel alone and the texel times the texture factor share one program, the factor's part
    // set to 1 for the first (see factorUniform): each program costs the driver about a megabyte.
    const bool texelAlone = (o == D3DTOP_SELECTARG1 && s1 == 1) || (o == D3DTOP_SELECTARG2 && s2 == 1);
    const bool texelTimesFactor = o == D3DTOP_MODULATE && ((s1 == 1 && s2 == 2) || (s1 == 2 && s2 == 1));
    if (texelAlone || texelTimesFactor) return D3DTOP_MODULATE | 1u << 3 | 2u << 5;
    return o | s1 << 3 | s2 << 5;
}

// Whether a stage operation reads the texture factor.
bool readsFactor(DWORD op, DWORD arg1, DWORD arg2) {
    if (op == D3DTOP_DISABLE) return false;
    const bool first = (arg1 & 15) == D3DTA_TFACTOR, second = (arg2 & 15) == D3DTA_TFACTOR;
    if (op == D3DTOP_SELECTARG1) return first;
    if (op == D3DTOP_SELECTARG2) return second;
    return first || second;
}

}  // namespace

uint32_t GlDevice::fragmentProgramKey(bool textured, DWORD colorOp, DWORD colorArg1, DWORD colorArg2, DWORD alphaOp,
                                      DWORD alphaArg1, DWORD alphaArg2, DWORD alphaFunc) {
    uint32_t key = (alphaFunc >= D3DCMP_NEVER && alphaFunc < D3DCMP_ALWAYS) ? alphaFunc << 15 : 0;
    if (textured)
        key |= 1u | stageOperationKey(colorOp, colorArg1, colorArg2) << 1 | stageOperationKey(alphaOp, alphaArg1, alphaArg2) << 8;
    return key;
}

std::string GlDevice::fragmentProgramSource(uint32_t key) {
    std::string defines = "#version 330 core\n";
    if (key & 1) {
        bool samples = false;
        auto operation = [&](uint32_t k) -> std::string {
            auto source = [&](uint32_t s) -> std::string {
                if (s == 1) samples = true;
                return s == 1 ? "texel" : s == 2 ? "uTextureFactor" : "vColor";
            };
            const uint32_t op = k & 7;
            if (op == D3DTOP_DISABLE) return "";
            if (op == D3DTOP_SELECTARG1) return source(k >> 3 & 3);
            if (op == D3DTOP_SELECTARG2) return source(k >> 5 & 3);
            const std::string a1 = source(k >> 3 & 3), a2 = source(k >> 5 & 3);
            if (op == D3DTOP_MODULATE2X) return "clamp(" + a1 + " * " + a2 + " * 2.0, 0.0, 1.0)";
            if (op == D3DTOP_MODULATE4X) return "clamp(" + a1 + " * " + a2 + " * 4.0, 0.0, 1.0)";
            if (op == D3DTOP_ADD) return "clamp(" + a1 + " + " + a2 + ", 0.0, 1.0)";
            return a1 + " * " + a2;
        };
        // The vertex colour needs no assignment: the result starts as it.
        const std::string color = operation(key >> 1 & 127), alpha = operation(key >> 8 & 127);
        if (!color.empty() && color != "vColor") defines += "#define COLOR_RESULT " + color + "\n";
        if (!alpha.empty() && alpha != "vColor") defines += "#define ALPHA_RESULT " + alpha + "\n";
        if (samples) defines += "#define SAMPLES_TEXTURE\n";
    }
    static const char* const comparisons[] = {"", "", "<", "==", "<=", ">", "!=", ">="};
    const uint32_t func = key >> 15 & 15;
    if (func == D3DCMP_NEVER) defines += "#define ALPHA_NEVER\n";
    else if (func > D3DCMP_NEVER && func < D3DCMP_ALWAYS) defines += std::string("#define ALPHA_COMPARE ") + comparisons[func] + "\n";
    return defines + fragmentShaderBody;
}

namespace {

GLuint compileShader(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
        SDL_Log("Shader compilation failed: %s", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLenum blendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_ONE: return GL_ONE;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLint addressMode(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
        default: return GL_REPEAT;
    }
}

bool isValidRenderState(D3DRENDERSTATETYPE state) { return uint32_t(state) < uint32_t(D3DRS_COUNT); }

// A vertex of the engine's format (position, colour, one pair of texture coordinates).
struct QuadVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24);

bool argIsTexture(DWORD arg) { return (arg & 15) == D3DTA_TEXTURE; }

// True when texture stage 0 reads the vertex colour.
bool stageReadsDiffuse(const DWORD* stage) {
    auto reads = [](DWORD op, DWORD arg1, DWORD arg2) {
        auto diffuse = [](DWORD arg) { return (arg & 15) == D3DTA_DIFFUSE || (arg & 15) == D3DTA_CURRENT; };
        if (op == D3DTOP_SELECTARG1) return diffuse(arg1);
        if (op == D3DTOP_SELECTARG2) return diffuse(arg2);
        if (op == D3DTOP_MODULATE || op == D3DTOP_MODULATE2X || op == D3DTOP_MODULATE4X || op == D3DTOP_ADD)
            return diffuse(arg1) || diffuse(arg2);
        return true;
    };
    return reads(stage[D3DTSS_COLOROP], stage[D3DTSS_COLORARG1], stage[D3DTSS_COLORARG2]) ||
           reads(stage[D3DTSS_ALPHAOP], stage[D3DTSS_ALPHAARG1], stage[D3DTSS_ALPHAARG2]);
}

// True when a fragment whose texel has alpha 0 leaves the target as it was: its alpha comes out 0
// and then either fails the alpha test or is blended away.
bool zeroAlphaTexelIsInvisible(const DWORD* stage, const DWORD* rs) {
    const DWORD op = stage[D3DTSS_ALPHAOP];
    bool alphaFollowsTexel = false;
    if (op == D3DTOP_MODULATE || op == D3DTOP_MODULATE2X || op == D3DTOP_MODULATE4X)
        alphaFollowsTexel = argIsTexture(stage[D3DTSS_ALPHAARG1]) || argIsTexture(stage[D3DTSS_ALPHAARG2]);
    else if (op == D3DTOP_SELECTARG1)
        alphaFollowsTexel = argIsTexture(stage[D3DTSS_ALPHAARG1]);
    else if (op == D3DTOP_SELECTARG2)
        alphaFollowsTexel = argIsTexture(stage[D3DTSS_ALPHAARG2]);
    if (!alphaFollowsTexel) return false;
    if (rs[D3DRS_ALPHATESTENABLE]) {
        const DWORD ref = rs[D3DRS_ALPHAREF] & 0xFF;
        switch (rs[D3DRS_ALPHAFUNC]) {
            case D3DCMP_NEVER: return true;
            case D3DCMP_GREATER: return true;
            case D3DCMP_GREATEREQUAL: if (ref >= 1) return true; break;
            case D3DCMP_EQUAL: if (ref != 0) return true; break;
            case D3DCMP_NOTEQUAL: if (ref == 0) return true; break;
            case D3DCMP_LESS: if (ref == 0) return true; break;
            default: break;
        }
    }
    const DWORD dest = rs[D3DRS_DESTBLEND];
    return rs[D3DRS_ALPHABLENDENABLE] && rs[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA &&
           (dest == D3DBLEND_INVSRCALPHA || dest == D3DBLEND_ONE);
}

// True when a fragment of an opaque texel comes out with alpha 1 and blending and the alpha test
// would leave it as it is: they can be off for it.
bool opaqueTexelNeedsNoBlending(const DWORD* stage, const DWORD* rs, bool verticesOpaque) {
    const DWORD op = stage[D3DTSS_ALPHAOP];
    auto opaqueArg = [&](DWORD arg) {
        const DWORD source = arg & 15;
        if (arg & ~DWORD(15)) return false;  // complement or replicate modifiers
        if (source == D3DTA_TEXTURE) return true;
        if (source == D3DTA_TFACTOR) return (rs[D3DRS_TEXTUREFACTOR] >> 24) == 0xFF;
        if (source == D3DTA_DIFFUSE || source == D3DTA_CURRENT) return verticesOpaque;
        return false;
    };
    bool alphaIsOne = false;
    if (op == D3DTOP_MODULATE || op == D3DTOP_MODULATE2X || op == D3DTOP_MODULATE4X)
        alphaIsOne = opaqueArg(stage[D3DTSS_ALPHAARG1]) && opaqueArg(stage[D3DTSS_ALPHAARG2]);
    else if (op == D3DTOP_SELECTARG1)
        alphaIsOne = opaqueArg(stage[D3DTSS_ALPHAARG1]);
    else if (op == D3DTOP_SELECTARG2)
        alphaIsOne = opaqueArg(stage[D3DTSS_ALPHAARG2]);
    if (!alphaIsOne) return false;
    if (rs[D3DRS_ALPHATESTENABLE]) {
        const DWORD ref = rs[D3DRS_ALPHAREF] & 0xFF, func = rs[D3DRS_ALPHAFUNC];
        const bool passes = func == D3DCMP_ALWAYS || func == D3DCMP_GREATEREQUAL || (func == D3DCMP_GREATER && ref < 255) ||
                            (func == D3DCMP_LESSEQUAL && ref == 255) || (func == D3DCMP_EQUAL && ref == 255) ||
                            (func == D3DCMP_NOTEQUAL && ref != 255);
        if (!passes) return false;
    }
    if (!rs[D3DRS_ALPHABLENDENABLE]) return true;
    return rs[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA && rs[D3DRS_DESTBLEND] == D3DBLEND_INVSRCALPHA;
}

}  // namespace

void GlDevice::setContextAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The device never tests depth or stencil: the window's framebuffer has neither buffer, which
    // saves their memory (a depth buffer the size of the window); Mesa's software rasteriser also
    // keeps its fast paths for framebuffers without depth open.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

struct GlDevice::HiddenPlan {
    // A quad of a draw that maps to the screen without perspective as a rectangle lined up with
    // it: its corners, and the rectangle.
    struct FlatQuad {
        int first;  // its first vertex in the draw (a strip's quads share two)
        float x0, y0, x1, y1;
        bool aAlongX;  // the quad's first side (vertex 0 to 1) runs along x
        float ox, oy;  // its first vertex on the screen, along the first side's axis and the other's
        float ea, eb;  // the lengths of its sides along those axes (signed)
        int table = -1;  // its texture tiles' table in tables, when the cover map made one
    };
    struct Footprint {
        int c0 = 0, r0 = 0, c1 = -1, r1 = -1;  // the tiles it may touch
        std::vector<FlatQuad> quads;           // every quad of the draw, when all are flat
    };
    // For a quad whose texture axes follow its sides, the texture tiles under each column and
    // row of screen tiles (computed once per quad; texelTiles does the same for one tile).
    struct TileTable {
        bool separable = false, swapped = false;  // swapped: screen columns select texture rows
        int c0 = 0, r0 = 0;
        std::vector<int> colLo, colHi, rowLo, rowHi;
        std::vector<char> colOk, rowOk;
        // When the texture tiles the quad reads are fewer than its screen tiles would read one by
        // one: the count of visible and of opaque texture tiles from the corner (tc0, tr0) of
        // those it reads, inclusive, to each tile (rows of tw + 1 counts, the first row and
        // column zero), which answers each screen tile at once. For each column and row of
        // screen tiles, the offsets into the counts where its texture tiles begin and end (along
        // a row of counts or down a column of them) and how many texture tiles it spans.
        bool counted = false;
        int tc0 = 0, tr0 = 0, tw = 0;
        std::vector<int> visible, opaque;
        std::vector<int> colFrom, colTo, colSpan, rowFrom, rowTo, rowSpan;
        // Whether every texture tile read is visible (or opaque), or none: the answer for each
        // screen tile then needs no counts.
        bool allVisible = false, noVisible = false, allOpaque = false, noOpaque = false;
        // The counted table's answers along one row of screen tiles, what they share read once
        // (kept apart from the vectors, which the stores of a walk over the tiles could change).
        struct Row {
            const char* colOk;
            const int *colSpan, *colFrom, *colTo, *visible, *opaque;
            bool ok, allVisible, noVisible, allOpaque, noOpaque;
            int span, from, to;
            // Whether every texture tile (all = true) or some (all = false) under the screen tile
            // at column ci of the table has the flag (visible or opaque); -1 when it cannot be told.
            int flags(size_t ci, bool opaqueFlag, bool all) const {
                if (!ok || !colOk[ci]) return -1;
                const int area = colSpan[ci] * span;
                if (area == 0) return all ? 1 : 0;
                if (opaqueFlag ? allOpaque : allVisible) return 1;
                if (opaqueFlag ? noOpaque : noVisible) return 0;
                const int* sum = opaqueFlag ? opaque : visible;
                const int xa = colFrom[ci], xb = colTo[ci];
                const int count = sum[xb + to] - sum[xa + to] - sum[xb + from] + sum[xa + from];
                return all ? int(count == area) : int(count > 0);
            }
        };
        Row row(size_t ri) const {
            return {colOk.data(), colSpan.data(), colFrom.data(), colTo.data(), visible.data(), opaque.data(),  rowOk[ri] != 0,
                    allVisible,   noVisible,      allOpaque,      noOpaque,     rowSpan[ri],    rowFrom[ri],    rowTo[ri]};
        }
    };
    std::vector<Footprint> prints;  // each queued draw's
    std::vector<int> cover;         // per screen tile, the last draw that covers it (-1: none)
    std::vector<float> sx, sy, w;   // a draw's vertices on the screen
    TileTable table;
    std::vector<TileTable> tables;  // the tables the cover map made, kept for the kinds of tiles
    std::vector<char> colInside, rowInside;  // the screen tiles' columns and rows a quad covers
    std::vector<QuadVertex> cut, cutOpaque;
    std::vector<std::pair<size_t, QueuedDraw>> opaqueParts;  // each after the draw at its index
    std::vector<size_t> kindStart;
    std::vector<std::pair<int, int>> runs, lastRuns;
    std::vector<QueuedDraw> withParts;
    std::vector<std::array<int, 4>> areas;  // where a frame drawn in part is drawn
    std::vector<QueuedDraw> wholeDraws;     // such a frame's draws as they were asked for
    std::vector<uint8_t> wholeVertices;
};

GlDevice::GlDevice(SDL_Window* window) : window(window) {
    plan = std::make_unique<HiddenPlan>();
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&world));
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&view));
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&projection));
    for (int i = 0; i < 256; ++i) gammaRamp.red[i] = gammaRamp.green[i] = gammaRamp.blue[i] = WORD(i * 257);
}

GlDevice::~GlDevice() {
    dropFrames();
    if (texture) texture->Release();
    texture = nullptr;
    for (GlVertexBuffer* buffer : vertexBuffers) buffer->detach();
    for (GlTexture* t : textures) t->detach();
    if (context) {
        makeCurrent();
        if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
        if (colorTexture) glDeleteTextures(1, &colorTexture);
        for (auto& [key, p] : programs) glDeleteProgram(p.name);
        if (vertexShader) glDeleteShader(vertexShader);
        if (vertexArray) glDeleteVertexArrays(1, &vertexArray);
        if (sampler) glDeleteSamplers(1, &sampler);
        if (scratchBuffer) glDeleteBuffers(1, &scratchBuffer);
        if (fragmentQuery) glDeleteQueries(1, &fragmentQuery);
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
    }
}

ULONG GlDevice::Release() {
    ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
}

void GlDevice::makeCurrent() {
    if (context && SDL_GL_GetCurrentContext() != context) SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(context));
}

void GlDevice::forgetVertexBuffer(GlVertexBuffer* buffer) {
    vertexBuffers.erase(buffer);
    if (streamBuffer == buffer) streamBuffer = nullptr;
    makeCurrent();
}

void GlDevice::forgetTexture(GlTexture* t) {
    textures.erase(std::remove(textures.begin(), textures.end(), t), textures.end());
    makeCurrent();
}

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format, D3DPOOL,
                                IDirect3DTexture9** created, void*) {
    if (!created) return D3DERR_INVALIDCALL;
    *created = nullptr;
    GLint maxSize = 0;
    makeCurrent();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width == 0 || height == 0 || GLint(width) > maxSize || GLint(height) > maxSize || levels > 1) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    auto* t = new GlTexture(this, width, height, format);
    textures.push_back(t);
    *created = t;
    return D3D_OK;
}

HRESULT GlDevice::init(const D3DPRESENT_PARAMETERS& params) {
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) return D3DERR_INVALIDCALL;
    setContextAttributes();
    context = SDL_GL_CreateContext(window);
    if (!context) return D3DERR_NOTAVAILABLE;
    makeCurrent();
    // The context starts with the window's size.
    SDL_GL_GetDrawableSize(window, &settledWidth, &settledHeight);
    bSizeSettled = true;
    if (epoxy_gl_version() < 33) return D3DERR_NOTAVAILABLE;

    vertexShader = compileShader(GL_VERTEX_SHADER, vertexShaderSource);
    // The most common program is made now: a driver that cannot build it has no use here.
    if (!vertexShader || !programFor(fragmentProgramKey(true, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE,
                                                        D3DTA_TEXTURE, D3DTA_DIFFUSE, 0)))
        return D3DERR_NOTAVAILABLE;

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenSamplers(1, &sampler);
    glBindSampler(0, sampler);
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &colorTexture);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);
    const char* stats = std::getenv("VESK_DRAW_STATS");
    bCountFragments = stats && *stats && epoxy_has_gl_extension("GL_ARB_pipeline_statistics_query");
    if (stats && *stats && !bCountFragments) std::fprintf(stderr, "GlDevice: the driver cannot count fragments\n");
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return applyPresentation(params);
}

HRESULT GlDevice::applyPresentation(const D3DPRESENT_PARAMETERS& params) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (params.BackBufferWidth == 0 || params.BackBufferHeight == 0 || GLint(params.BackBufferWidth) > maxSize ||
        GLint(params.BackBufferHeight) > maxSize)
        return D3DERR_INVALIDCALL;
    present = params;

    // The window's full-screen state is left to its placement (platform::placeWindow), which the
    // caller does once the device is made or reset: setting it here as well would switch it twice.
    bool vsync = params.PresentationInterval == D3DPRESENT_INTERVAL_ONE || params.PresentationInterval == D3DPRESENT_INTERVAL_DEFAULT;
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);

    // The framebuffer object takes memory only when a frame needs it (a window of another size).
    if (bFramebufferReady) {
        glDeleteTextures(1, &colorTexture);
        glGenTextures(1, &colorTexture);
        bFramebufferReady = false;
    }

    setDefaultStates();
    viewport = D3DVIEWPORT9{0, 0, params.BackBufferWidth, params.BackBufferHeight, 0.0f, 1.0f};
    applyViewportAndScissor();
    // The next frame chooses its target afresh and starts from a black window.
    target = framebuffer;
    bTargetChosen = false;
    bNeedsReset = false;
    forgetTargetContents();
    return D3D_OK;
}

void GlDevice::setDefaultStates() {
    std::fill(std::begin(renderStates), std::end(renderStates), 0u);
    renderStates[D3DRS_ZENABLE] = 0;
    renderStates[D3DRS_ALPHABLENDENABLE] = 0;
    renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRS_ALPHATESTENABLE] = 0;
    renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRS_LIGHTING] = 1;
    renderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
    for (auto& stage : stageStates) {
        std::fill(std::begin(stage), std::end(stage), 0u);
        stage[D3DTSS_COLOROP] = D3DTOP_DISABLE;
        stage[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
        stage[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    }
    stageStates[0][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    std::fill(std::begin(samplerStates), std::end(samplerStates), 0u);
    samplerStates[D3DSAMP_ADDRESSU] = samplerStates[D3DSAMP_ADDRESSV] = samplerStates[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    samplerStates[D3DSAMP_MAGFILTER] = samplerStates[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    samplerStates[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    applyBlendAndCull();
    applySampler();
}

bool GlDevice::isLostNow() {
    Uint32 flags = SDL_GetWindowFlags(window);
    bool minimisedFullScreen = !present.Windowed && (flags & SDL_WINDOW_MINIMIZED);
    if (bLossForced || minimisedFullScreen) bNeedsReset = true;
    return bLossForced || minimisedFullScreen;
}

void GlDevice::forceLoss() {
    bLossForced = true;
    bNeedsReset = true;
}

void GlDevice::endForcedLoss() { bLossForced = false; }

HRESULT GlDevice::TestCooperativeLevel() {
    if (isLostNow()) return D3DERR_DEVICELOST;
    if (bNeedsReset) return D3DERR_DEVICENOTRESET;
    return D3D_OK;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* params) {
    if (!params) return D3DERR_INVALIDCALL;
    if (isLostNow()) return D3DERR_DEVICELOST;
    ++resetCount;
    makeCurrent();
    dropFrames();
    shown = Shown::NOTHING;
    if (failingResets > 0) {
        --failingResets;
        bNeedsReset = true;
        return D3DERR_INVALIDCALL;
    }
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
    streamBuffer = nullptr;
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&world));
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&view));
    D3DXMatrixIdentity(static_cast<D3DXMATRIX*>(&projection));
    HRESULT hr = applyPresentation(*params);
    if (dxFailed(hr)) bNeedsReset = true;
    return hr;
}

UINT GlDevice::GetAvailableTextureMem() { return 512u * 1024u * 1024u; }

HRESULT GlDevice::BeginScene() {
    if (bInScene) return D3DERR_INVALIDCALL;
    bInScene = true;
    // Draws of a scene that was never shown are not kept any longer (a caller that draws frames
    // without showing them holds no memory or textures for them); its last clears stay, as they
    // may begin the frame to come.
    std::vector<QueuedDraw> kept;
    std::vector<uint8_t> keptBytes;
    for (QueuedDraw& d : frameDraws) {
        if (d.mode != CLEAR_MODE) {
            if (d.texture) d.texture->Release();
            continue;
        }
        const size_t bytes = size_t(d.vertexCount) * 4 * sizeof(int32_t);
        const size_t from = d.firstByte;
        d.firstByte = keptBytes.size();
        keptBytes.insert(keptBytes.end(), frameVertices.begin() + std::ptrdiff_t(from), frameVertices.begin() + std::ptrdiff_t(from + bytes));
        kept.push_back(d);
    }
    // Only the clears since the last full one matter.
    size_t first = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        if (kept[i].vertexCount == 1) {
            const auto* r = reinterpret_cast<const int32_t*>(keptBytes.data() + kept[i].firstByte);
            if (r[0] == 0 && r[1] == 0 && UINT(r[2]) == present.BackBufferWidth && UINT(r[3]) == present.BackBufferHeight &&
                (kept[i].colorWrite & 0xF) == 0xF)
                first = i;
        }
    if (kept.size() > first + 16) first = kept.size() - 16;
    frameDraws.assign(kept.begin() + std::ptrdiff_t(first), kept.end());
    frameVertices.swap(keptBytes);
    return D3D_OK;
}

HRESULT GlDevice::EndScene() {
    if (!bInScene) return D3DERR_INVALIDCALL;
    bInScene = false;
    return D3D_OK;
}

void GlDevice::beginFrameStatistics() {
    if (!bCountFragments || bQueryRunning) return;
    if (!fragmentQuery) glGenQueries(1, &fragmentQuery);
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, fragmentQuery);
    bQueryRunning = true;
}

void GlDevice::endFrameStatistics() {
    if (!bCountFragments) return;
    GLint64 fragments = 0;
    if (bQueryRunning) {
        glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
        glGetQueryObjecti64v(fragmentQuery, GL_QUERY_RESULT, &fragments);
        bQueryRunning = false;
    }
    lastFrameFragments = fragments;
    statFragments += fragments;
    statViewportPixels += uint64_t(viewport.Width) * viewport.Height;
    if (++statFrames < 50) return;
    std::fprintf(stderr, "GlDevice: %d frames (%d drawn in part), %.0f fragments shaded per frame, viewport %ux%u, %.3f per viewport pixel\n",
                 statFrames, framesDrawnInPart - statPartFrames, double(statFragments) / statFrames, unsigned(viewport.Width), unsigned(viewport.Height),
                 statViewportPixels ? double(statFragments) / double(statViewportPixels) : 0.0);
    std::fflush(stderr);
    statFrames = 0;
    statPartFrames = framesDrawnInPart;
    statFragments = 0;
    statViewportPixels = 0;
}

HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const void*) {
    if (isLostNow() || bNeedsReset) {
        dropFrames();
        return D3DERR_DEVICELOST;
    }
    makeCurrent();
    flushDraws(true);
    endFrameStatistics();
    bindTarget();
    if (target == 0) {
        // Drawn straight into the window's back buffer: nothing to copy. Without a wait for the
        // display, the back buffer is copied into the window where the driver can, and keeps the
        // frame for the next one.
        const bool kept = SDL_GL_GetSwapInterval() == 0 &&
                          copyBackBufferToWindow(int(present.BackBufferWidth), int(present.BackBufferHeight));
        if (!kept) SDL_GL_SwapWindow(window);
        frameShown(Shown::IN_WINDOW, kept);
        bSizeSettled = true;
        bTargetChosen = false;
        return D3D_OK;
    }
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window, &windowWidth, &windowHeight);
    int bbWidth = int(present.BackBufferWidth), bbHeight = int(present.BackBufferHeight);
    // The whole back buffer, scaled into the window with its proportions kept.
    int destWidth = windowWidth, destHeight = windowHeight;
    if (int64_t(windowWidth) * bbHeight > int64_t(windowHeight) * bbWidth)
        destWidth = int(int64_t(windowHeight) * bbWidth / bbHeight);
    else
        destHeight = int(int64_t(windowWidth) * bbHeight / bbWidth);
    int destX = (windowWidth - destWidth) / 2, destY = (windowHeight - destHeight) / 2;

    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    bool sameSize = destWidth == bbWidth && destHeight == bbHeight;
    glBlitFramebuffer(0, 0, bbWidth, bbHeight, destX, destY, destX + destWidth, destY + destHeight, GL_COLOR_BUFFER_BIT,
                      sameSize ? GL_NEAREST : GL_LINEAR);
    ++presentCopies;
    SDL_GL_SwapWindow(window);
    frameShown(Shown::IN_FRAMEBUFFER, true);
    bSizeSettled = windowWidth == settledWidth && windowHeight == settledHeight;
    bTargetChosen = false;
    bindTarget();
    glEnable(GL_SCISSOR_TEST);
    applyBlendAndCull();
    return D3D_OK;
}

void GlDevice::bindTarget() {
    if (bTargetChosen) {
        glBindFramebuffer(GL_FRAMEBUFFER, target);
        return;
    }
    // The window's own back buffer takes the drawing when it has the presentation size; otherwise
    // the frame goes to the framebuffer object and is scaled into the window at Present.
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window, &windowWidth, &windowHeight);
    // The driver takes a new window size at the next swap: until then the window's back buffer
    // may still have the old one, and the frame goes to the framebuffer object.
    if (windowWidth != settledWidth || windowHeight != settledHeight) {
        settledWidth = windowWidth;
        settledHeight = windowHeight;
        bSizeSettled = false;
    }
    const bool direct = bSizeSettled && UINT(windowWidth) == present.BackBufferWidth && UINT(windowHeight) == present.BackBufferHeight;
    const GLuint chosen = direct ? 0 : framebuffer;
    if (direct && bFramebufferReady) {
        // Not needed while the window has the presentation size: its memory goes.
        glDeleteTextures(1, &colorTexture);
        glGenTextures(1, &colorTexture);
        bFramebufferReady = false;
    }
    if (!direct && !bFramebufferReady) {
        glBindTexture(GL_TEXTURE_2D, colorTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(present.BackBufferWidth), GLsizei(present.BackBufferHeight), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glDisable(GL_SCISSOR_TEST);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        applyBlendAndCull();
        bFramebufferReady = true;
        forgetTargetContents();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, chosen);
    if (chosen != target) forgetTargetContents();
    if (direct) {
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        // The window's back buffer keeps nothing between frames for sure: what lies outside the
        // viewport is made black, as the framebuffer object's border is.
        clearOutsideViewport(chosen != target);
    }
    target = chosen;
    bTargetChosen = true;
}

void GlDevice::clearOutsideViewport(bool whole) {
    const int W = int(present.BackBufferWidth), H = int(present.BackBufferHeight);
    const int x = int(viewport.X), y = H - int(viewport.Y) - int(viewport.Height);
    const int w = int(viewport.Width), h = int(viewport.Height);
    if (!whole && x == 0 && y == 0 && w == W && h == H) return;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_SCISSOR_TEST);
    auto band = [](int bx, int by, int bw, int bh) {
        if (bw <= 0 || bh <= 0) return;
        glScissor(bx, by, bw, bh);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    if (whole) {
        band(0, 0, W, H);
    } else {
        band(0, 0, W, y);
        band(0, y + h, W, H - y - h);
        band(0, y, x, h);
        band(x + w, y, W - x - w, h);
    }
    applyViewportAndScissor();
    applyBlendAndCull();
}

void GlDevice::applyViewportAndScissor() {
    GLint y = GLint(present.BackBufferHeight) - GLint(viewport.Y) - GLint(viewport.Height);
    glViewport(GLint(viewport.X), y, GLsizei(viewport.Width), GLsizei(viewport.Height));
    glScissor(GLint(viewport.X), y, GLsizei(viewport.Width), GLsizei(viewport.Height));
}

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float, DWORD) {
    if (count > 0 && !rects) return D3DERR_INVALIDCALL;
    if (!(flags & D3DCLEAR_TARGET)) return D3D_OK;
    if (bNeedsReset) return D3D_OK;
    // The clear waits in the queue with the draws, as the scissor rectangles it clears.
    QueuedDraw record{};
    record.mode = CLEAR_MODE;
    record.factor = color;
    record.colorWrite = renderStates[D3DRS_COLORWRITEENABLE];
    record.firstByte = queuedVertices.size();
    record.viewport = viewport;
    auto keep = [&](int x, int y, int w, int h) {
        const int32_t r[4] = {x, y, w, h};
        const auto* b = reinterpret_cast<const uint8_t*>(r);
        queuedVertices.insert(queuedVertices.end(), b, b + sizeof(r));
        ++record.vertexCount;
    };
    int H = int(present.BackBufferHeight);
    if (count == 0)
        keep(GLint(viewport.X), H - GLint(viewport.Y) - GLint(viewport.Height), GLsizei(viewport.Width), GLsizei(viewport.Height));
    for (DWORD i = 0; i < count; ++i) {
        int x1 = std::max<int>(rects[i].x1, int(viewport.X));
        int y1 = std::max<int>(rects[i].y1, int(viewport.Y));
        int x2 = std::min<int>(rects[i].x2, int(viewport.X + viewport.Width));
        int y2 = std::min<int>(rects[i].y2, int(viewport.Y + viewport.Height));
        if (x2 <= x1 || y2 <= y1) continue;
        keep(x1, H - y2, x2 - x1, y2 - y1);
    }
    if (record.vertexCount > 0) queuedDraws.push_back(record);
    return D3D_OK;
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT9* v) {
    if (!v || v->Width == 0 || v->Height == 0 || uint64_t(v->X) + v->Width > present.BackBufferWidth ||
        uint64_t(v->Y) + v->Height > present.BackBufferHeight)
        return D3DERR_INVALIDCALL;
    viewport = *v;
    makeCurrent();
    applyViewportAndScissor();
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT9* v) {
    if (!v) return D3DERR_INVALIDCALL;
    *v = viewport;
    return D3D_OK;
}

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD: world = *matrix; return D3D_OK;
        case D3DTS_VIEW: view = *matrix; return D3D_OK;
        case D3DTS_PROJECTION: projection = *matrix; return D3D_OK;
        default: return D3DERR_INVALIDCALL;
    }
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD: *matrix = world; return D3D_OK;
        case D3DTS_VIEW: *matrix = view; return D3D_OK;
        case D3DTS_PROJECTION: *matrix = projection; return D3D_OK;
        default: return D3DERR_INVALIDCALL;
    }
}

void GlDevice::applyBlendAndCull() {
    if (!context) return;
    if (renderStates[D3DRS_ALPHABLENDENABLE])
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(blendFactor(renderStates[D3DRS_SRCBLEND]), blendFactor(renderStates[D3DRS_DESTBLEND]));
    switch (renderStates[D3DRS_CULLMODE]) {
        case D3DCULL_CW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_BACK);
            break;
        case D3DCULL_CCW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CW);
            glCullFace(GL_BACK);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
    }
    DWORD mask = renderStates[D3DRS_COLORWRITEENABLE];
    glColorMask(mask & 1, mask & 2, mask & 4, mask & 8);
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!isValidRenderState(state)) return D3DERR_INVALIDCALL;
    renderStates[state] = value;
    makeCurrent();
    applyBlendAndCull();
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!isValidRenderState(state) || !value) return D3DERR_INVALIDCALL;
    *value = renderStates[state];
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= 8 || uint32_t(type) >= uint32_t(D3DTSS_COUNT)) return D3DERR_INVALIDCALL;
    stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= 8 || uint32_t(type) >= uint32_t(D3DTSS_COUNT) || !value) return D3DERR_INVALIDCALL;
    *value = stageStates[stage][type];
    return D3D_OK;
}

void GlDevice::applySampler() {
    if (!context) return;
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, addressMode(samplerStates[D3DSAMP_ADDRESSU]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, addressMode(samplerStates[D3DSAMP_ADDRESSV]));
    bool linearMag = samplerStates[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    bool linearMin = samplerStates[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, linearMin ? GL_LINEAR : GL_NEAREST);
}

HRESULT GlDevice::SetSamplerState(DWORD index, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (uint32_t(type) >= uint32_t(D3DSAMP_COUNT)) return D3DERR_INVALIDCALL;
    if (index != 0) return D3D_OK;  // one texture stage only
    samplerStates[type] = value;
    makeCurrent();
    applySampler();
    return D3D_OK;
}

HRESULT GlDevice::GetSamplerState(DWORD index, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (uint32_t(type) >= uint32_t(D3DSAMP_COUNT) || !value) return D3DERR_INVALIDCALL;
    *value = index == 0 ? samplerStates[type] : 0;
    return D3D_OK;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* newTexture) {
    if (stage >= 8) return D3DERR_INVALIDCALL;
    if (stage != 0) return D3D_OK;
    if (newTexture) newTexture->AddRef();
    if (texture) texture->Release();
    texture = newTexture;
    return D3D_OK;
}

HRESULT GlDevice::SetFVF(DWORD newFvf) {
    fvf = newFvf;
    return D3D_OK;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer, void*) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0) return D3DERR_INVALIDCALL;
    makeCurrent();
    auto* created = new GlVertexBuffer(this, length);
    vertexBuffers.insert(created);
    *buffer = created;
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream != 0) return D3DERR_INVALIDCALL;
    auto* glBuffer = static_cast<GlVertexBuffer*>(buffer);
    if (glBuffer && !vertexBuffers.contains(glBuffer))
        return D3DERR_INVALIDCALL;
    if (glBuffer && stride < 24) return D3DERR_INVALIDCALL;
    streamBuffer = glBuffer;
    streamOffset = offset;
    streamStride = stride;
    return D3D_OK;
}

UINT GlDevice::verticesForPrimitives(D3DPRIMITIVETYPE type, UINT count) {
    switch (type) {
        case D3DPT_POINTLIST: return count;
        case D3DPT_LINELIST: return count * 2;
        case D3DPT_LINESTRIP: return count + 1;
        case D3DPT_TRIANGLELIST: return count * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return count + 2;
        default: return 0;
    }
}

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (!streamBuffer || streamStride == 0 || primitiveCount == 0) return D3DERR_INVALIDCALL;
    UINT needed = verticesForPrimitives(type, primitiveCount);
    if (needed == 0 || primitiveCount > 0x3FFFFFFF) return D3DERR_INVALIDCALL;
    UINT length = streamBuffer->getLength();
    uint64_t available = length > streamOffset ? (length - streamOffset) / streamStride : 0;
    if (uint64_t(startVertex) + needed > available) return D3DERR_INVALIDCALL;
    if (bNeedsReset) return D3D_OK;

    // A textured quad is cut to the texels that can show (or left out when none can), and one that
    // shows only opaque texels is drawn without blending and the alpha test.
    const DWORD* stage = stageStates[0];
    bool hasTexture = texture && texture->getGlTextureName() != 0 && stage[D3DTSS_COLOROP] != D3DTOP_DISABLE;
    auto* glTexture = hasTexture ? dynamic_cast<GlTexture*>(texture) : nullptr;
    QuadVertex trimmed[4];
    QuadPlan plan = QuadPlan::AS_IS;
    bool opaque = false;
    const uint8_t* source = streamBuffer->bytes() + streamOffset + size_t(startVertex) * streamStride;
    if (glTexture && bCutQuads && type == D3DPT_TRIANGLESTRIP && primitiveCount == 2 && streamStride == sizeof(QuadVertex))
        plan = planQuad(*glTexture, source, trimmed, opaque);
    if (plan == QuadPlan::SKIP) {
        ++quadsLeftOut;
        return D3D_OK;
    }
    if (plan == QuadPlan::TRIMMED) {
        ++quadsCut;
        source = reinterpret_cast<const uint8_t*>(trimmed);
    }
    if (opaque) ++quadsOpaque;

    // The draw waits in the queue with what it needs of the states and its vertices.
    QueuedDraw d{};
    switch (type) {
        case D3DPT_POINTLIST: d.mode = GL_POINTS; break;
        case D3DPT_LINELIST: d.mode = GL_LINES; break;
        case D3DPT_LINESTRIP: d.mode = GL_LINE_STRIP; break;
        case D3DPT_TRIANGLELIST: d.mode = GL_TRIANGLES; break;
        case D3DPT_TRIANGLESTRIP: d.mode = GL_TRIANGLE_STRIP; break;
        case D3DPT_TRIANGLEFAN: d.mode = GL_TRIANGLE_FAN; break;
    }
    d.vertexCount = needed;
    d.stride = streamStride;
    d.firstByte = queuedVertices.size();
    queuedVertices.insert(queuedVertices.end(), source, source + size_t(needed) * streamStride);
    d.texture = hasTexture ? texture : nullptr;
    d.glTexture = glTexture;
    if (d.texture) d.texture->AddRef();
    d.blend = renderStates[D3DRS_ALPHABLENDENABLE] != 0;
    d.opaque = opaque;
    bool verticesOpaque = true;
    for (UINT i = 0; i < needed && verticesOpaque; ++i)
        verticesOpaque = (reinterpret_cast<const QuadVertex*>(source + size_t(i) * streamStride)->color >> 24) == 0xFF;
    d.mayGoOpaque = glTexture && opaqueTexelNeedsNoBlending(stage, renderStates, verticesOpaque);
    d.invisibleZero = glTexture && zeroAlphaTexelIsInvisible(stage, renderStates);
    d.srcBlend = renderStates[D3DRS_SRCBLEND];
    d.destBlend = renderStates[D3DRS_DESTBLEND];
    d.cull = renderStates[D3DRS_CULLMODE];
    d.colorWrite = renderStates[D3DRS_COLORWRITEENABLE];
    GLint alphaFunc = renderStates[D3DRS_ALPHATESTENABLE] ? GLint(renderStates[D3DRS_ALPHAFUNC]) : 0;
    if (alphaFunc == D3DCMP_ALWAYS || alphaFunc < 0 || alphaFunc > 8 || opaque) alphaFunc = 0;
    d.alphaFunc = DWORD(alphaFunc);
    d.alphaRef = renderStates[D3DRS_ALPHAREF] & 0xFF;
    d.factor = renderStates[D3DRS_TEXTUREFACTOR];
    d.colorOp = stage[D3DTSS_COLOROP], d.colorArg1 = stage[D3DTSS_COLORARG1], d.colorArg2 = stage[D3DTSS_COLORARG2];
    d.alphaOp = stage[D3DTSS_ALPHAOP], d.alphaArg1 = stage[D3DTSS_ALPHAARG1], d.alphaArg2 = stage[D3DTSS_ALPHAARG2];
    d.readsDiffuse = !hasTexture || stageReadsDiffuse(stage);
    d.addressU = samplerStates[D3DSAMP_ADDRESSU], d.addressV = samplerStates[D3DSAMP_ADDRESSV];
    d.magFilter = samplerStates[D3DSAMP_MAGFILTER], d.minFilter = samplerStates[D3DSAMP_MINFILTER];
    D3DXMATRIX worldView, combined;
    D3DXMatrixMultiply(&worldView, static_cast<const D3DXMATRIX*>(&world), static_cast<const D3DXMATRIX*>(&view));
    D3DXMatrixMultiply(&combined, &worldView, static_cast<const D3DXMATRIX*>(&projection));
    std::memcpy(d.matrix, &combined.m[0][0], sizeof(d.matrix));
    d.viewport = viewport;
    queuedDraws.push_back(d);
    return D3D_OK;
}

namespace {

// Where a vertex lands on the back buffer, in pixels from its top-left corner (as the vertex
// shader puts it), and its clip w; false when it lies behind the eye.
bool screenPoint(const float* m, const D3DVIEWPORT9& vp, const float* p, float& sx, float& sy, float& w) {
    const float cx = p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12];
    const float cy = p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13];
    w = p[0] * m[3] + p[1] * m[7] + p[2] * m[11] + m[15];
    if (!(w > 1e-6f)) return false;
    const float nx = cx / w + 1.0f / float(vp.Width), ny = cy / w - 1.0f / float(vp.Height);
    sx = float(vp.X) + (nx + 1.0f) * 0.5f * float(vp.Width);
    sy = float(vp.Y) + (1.0f - ny) * 0.5f * float(vp.Height);
    return std::isfinite(sx) && std::isfinite(sy);
}

// The tiles of T x T pixels, counted from the top left of a back buffer H pixels high, that a
// rectangle (x0, y0, x1, y1 from the bottom left, x1 and y1 excluded) touches, within the
// columns and rows of tiles there are.
struct TileRange {
    int c0, r0, c1, r1;
};
TileRange tilesUnder(const std::array<int, 4>& a, int T, int H, int columns, int rows) {
    return {std::max(0, a[0] / T), std::max(0, (H - a[3]) / T), std::min(columns - 1, (a[2] - 1) / T),
            std::min(rows - 1, (H - a[1] - 1) / T)};
}

}  // namespace

void GlDevice::skipHiddenDraws(const std::vector<std::array<int, 4>>* areas) {
    const int T = HIDDEN_TILE;
    // How far past the texture coordinates of a screen tile's edges a sample there may read: a
    // filtered sample reads the texels within half a texel of its point, and the pixel centres lie
    // half a pixel inside the tile's edges, which leaves room for rounding.
    constexpr float FILTER_REACH = 0.51f;
    const int W = int(present.BackBufferWidth), H = int(present.BackBufferHeight);
    const int columns = (W + T - 1) / T, rows = (H + T - 1) / T;
    const size_t n = queuedDraws.size();
    using FlatQuad = HiddenPlan::FlatQuad;
    using TileTable = HiddenPlan::TileTable;
    HiddenPlan& p = *plan;
    std::vector<HiddenPlan::Footprint>& prints = p.prints;
    if (prints.size() < n) prints.resize(n);
    std::vector<int>& cover = p.cover;
    cover.assign(size_t(columns) * size_t(rows), areas ? OUTSIDE_AREAS : -1);
    // A frame drawn in part: the tiles outside its areas are as good as covered by a draw after
    // all (the areas' edges lie on the tiles' edges).
    if (areas)
        for (const std::array<int, 4>& a : *areas) {
            const TileRange tiles = tilesUnder(a, T, H, columns, rows);
            for (int r = tiles.r0; r <= tiles.r1; ++r)
                std::fill_n(cover.data() + size_t(r) * size_t(columns) + size_t(tiles.c0), tiles.c1 - tiles.c0 + 1, -1);
        }
    auto vertexOf = [&](const QueuedDraw& d, int k) {
        return reinterpret_cast<QuadVertex*>(queuedVertices.data() + d.firstByte + size_t(k) * d.stride);
    };
    for (size_t i = 0; i < n; ++i) {
        const QueuedDraw& d = queuedDraws[i];
        HiddenPlan::Footprint& f = prints[i];
        f.c0 = 0, f.r0 = 0, f.c1 = -1, f.r1 = -1;
        f.quads.clear();
        // (A clear's footprint is its rectangles: it is left out where later draws cover it.)
        const std::array<int, 4> area = footprint(d, queuedVertices.data());
        if (area[2] <= area[0] || area[3] <= area[1]) continue;  // touches nothing
        const TileRange tiles = tilesUnder(area, T, H, columns, rows);
        f.c0 = tiles.c0, f.r0 = tiles.r0, f.c1 = tiles.c1, f.r1 = tiles.r1;
        if (d.mode != GL_TRIANGLE_STRIP || d.vertexCount < 4 || d.vertexCount % 2 || d.stride != sizeof(QuadVertex)) continue;
        if (p.sx.size() < d.vertexCount) p.sx.resize(d.vertexCount), p.sy.resize(d.vertexCount), p.w.resize(d.vertexCount);
        float *sx = p.sx.data(), *sy = p.sy.data(), *w = p.w.data();
        bool known = true;
        for (UINT v = 0; v < d.vertexCount && known; ++v) known = screenPoint(d.matrix, d.viewport, &vertexOf(d, int(v))->x, sx[v], sy[v], w[v]);
        if (!known) continue;
        // Each quad of the strip: without perspective across it, a rectangle on the screen lined
        // up with it, whose positions and texture coordinates make a parallelogram.
        std::vector<FlatQuad>& quads = f.quads;
        for (int q = 0; q + 3 < int(d.vertexCount); q += 2) {
            const float wTolerance = std::fabs(w[size_t(q)]) * 1e-6f;
            bool flat = true;
            for (int k = 1; k < 4; ++k) flat = flat && std::fabs(w[size_t(q + k)] - w[size_t(q)]) <= wTolerance;
            const float ax = sx[size_t(q + 1)] - sx[size_t(q)], ay = sy[size_t(q + 1)] - sy[size_t(q)];
            const float bx = sx[size_t(q + 2)] - sx[size_t(q)], by = sy[size_t(q + 2)] - sy[size_t(q)];
            flat = flat && std::fabs(sx[size_t(q)] + sx[size_t(q + 3)] - sx[size_t(q + 1)] - sx[size_t(q + 2)]) <= 1e-3f &&
                   std::fabs(sy[size_t(q)] + sy[size_t(q + 3)] - sy[size_t(q + 1)] - sy[size_t(q + 2)]) <= 1e-3f;
            const bool aAlongX = std::fabs(ay) <= 1e-4f && std::fabs(bx) <= 1e-4f && std::fabs(ax) > 1e-3f && std::fabs(by) > 1e-3f;
            const bool aAlongY = std::fabs(ax) <= 1e-4f && std::fabs(by) <= 1e-4f && std::fabs(ay) > 1e-3f && std::fabs(bx) > 1e-3f;
            flat = flat && (aAlongX || aAlongY);
            for (int k = 0; k < 6 && flat; ++k) {
                if (k == 3) continue;  // the colour
                auto field = [&](int v) { return (&vertexOf(d, q + v)->x)[k]; };
                const float span = std::max({std::fabs(field(1) - field(0)), std::fabs(field(2) - field(0)), 1.0f});
                flat = std::fabs(field(0) + field(3) - field(1) - field(2)) <= span * 1e-5f;
            }
            if (!flat) {
                quads.clear();
                break;
            }
            quads.push_back({q, std::min({sx[size_t(q)], sx[size_t(q + 1)], sx[size_t(q + 2)]}),
                             std::min({sy[size_t(q)], sy[size_t(q + 1)], sy[size_t(q + 2)]}),
                             std::max({sx[size_t(q)], sx[size_t(q + 1)], sx[size_t(q + 2)]}),
                             std::max({sy[size_t(q)], sy[size_t(q + 1)], sy[size_t(q + 2)]}), aAlongX,
                             aAlongX ? sx[size_t(q)] : sy[size_t(q)], aAlongX ? sy[size_t(q)] : sx[size_t(q)],
                             aAlongX ? ax : ay, aAlongX ? by : bx});
        }
    }

    // The quad's own coordinates of a screen point: a along its first side, b along its second.
    auto along = [](const FlatQuad& q, float x, float y, float& a, float& b) {
        a = std::clamp(((q.aAlongX ? x : y) - q.ox) / q.ea, 0.0f, 1.0f);
        b = std::clamp(((q.aAlongX ? y : x) - q.oy) / q.eb, 0.0f, 1.0f);
    };
    // A vertex at (a, b) of the quad, exact at its corners.
    auto blend = [&](const QueuedDraw& d, const FlatQuad& q, float a, float b) {
        const QuadVertex &p0 = *vertexOf(d, q.first), &p1 = *vertexOf(d, q.first + 1), &p2 = *vertexOf(d, q.first + 2),
                         &p3 = *vertexOf(d, q.first + 3);
        auto mix = [&](float v0, float v1, float v2, float v3) { return (1.0f - b) * ((1.0f - a) * v0 + a * v1) + b * ((1.0f - a) * v2 + a * v3); };
        QuadVertex o = p0;
        o.x = mix(p0.x, p1.x, p2.x, p3.x), o.y = mix(p0.y, p1.y, p2.y, p3.y), o.z = mix(p0.z, p1.z, p2.z, p3.z);
        o.u = mix(p0.u, p1.u, p2.u, p3.u), o.v = mix(p0.v, p1.v, p2.v, p3.v);
        return o;
    };
    // The texture's tiles that a screen rectangle within the quad may read, FILTER_REACH around for
    // filtering; false when it reaches past the texture's edge where a filter wraps around.
    auto texelTiles = [&](const QueuedDraw& d, const FlatQuad& q, const GlTexture& t, float x0, float y0, float x1, float y1, int& tc0,
                          int& tr0, int& tc1, int& tr1) {
        float a0, b0, a1, b1;
        along(q, x0, y0, a0, b0);
        along(q, x1, y1, a1, b1);
        const float TW = float(t.getWidth()), TH = float(t.getHeight());
        float u0 = 1e30f, u1 = -1e30f, v0 = 1e30f, v1 = -1e30f;
        for (int k = 0; k < 4; ++k) {
            const QuadVertex v = blend(d, q, k & 1 ? a1 : a0, k & 2 ? b1 : b0);
            u0 = std::min(u0, v.u * TW), u1 = std::max(u1, v.u * TW), v0 = std::min(v0, v.v * TH), v1 = std::max(v1, v.v * TH);
        }
        u0 -= FILTER_REACH, v0 -= FILTER_REACH, u1 += FILTER_REACH, v1 += FILTER_REACH;
        const bool linear = d.magFilter >= D3DTEXF_LINEAR || d.minFilter >= D3DTEXF_LINEAR;
        const bool wrapU = linear && d.addressU != D3DTADDRESS_CLAMP, wrapV = linear && d.addressV != D3DTADDRESS_CLAMP;
        if (u0 < -1.0f || v0 < -1.0f || u1 > TW + 1.0f || v1 > TH + 1.0f) return false;
        if ((wrapU && (u0 < 0.0f || u1 > TW)) || (wrapV && (v0 < 0.0f || v1 > TH))) return false;
        tc0 = std::max(0, int(std::floor(u0))) / GlTexture::TILE, tc1 = std::min(int(TW) - 1, int(std::floor(u1))) / GlTexture::TILE;
        tr0 = std::max(0, int(std::floor(v0))) / GlTexture::TILE, tr1 = std::min(int(TH) - 1, int(std::floor(v1))) / GlTexture::TILE;
        return true;
    };
    auto makeTable = [&](const QueuedDraw& d, const FlatQuad& q, const GlTexture& t, int c0, int r0, int c1, int r1, TileTable& tt) {
        const QuadVertex &p0 = *vertexOf(d, q.first), &p1 = *vertexOf(d, q.first + 1), &p2 = *vertexOf(d, q.first + 2);
        const float ua = p1.u - p0.u, ub = p2.u - p0.u, va = p1.v - p0.v, vb = p2.v - p0.v;
        // u along a and v along b, or the other way round.
        const bool straight = ub == 0.0f && va == 0.0f, crossed = ua == 0.0f && vb == 0.0f;
        tt.separable = straight || crossed;
        tt.counted = false;
        if (!tt.separable) return;
        // Screen x is a when the quad's first side runs along x; the texture axis that follows
        // screen x: u when it follows a (straight) and x is a, or when it follows b and x is b.
        const bool uFollowsX = straight == q.aAlongX;
        tt.swapped = !uFollowsX;
        tt.c0 = c0, tt.r0 = r0;
        const bool linear = d.magFilter >= D3DTEXF_LINEAR || d.minFilter >= D3DTEXF_LINEAR;
        const float TW = float(t.getWidth()), TH = float(t.getHeight());
        auto axis = [&](bool screenX, int i, int& lo, int& hi) {
            const float cell0 = float(i * T), cell1 = float((i + 1) * T);
            const float s0 = std::max(screenX ? q.x0 : q.y0, cell0), s1 = std::min(screenX ? q.x1 : q.y1, cell1);
            const bool alongA = screenX == q.aAlongX;
            auto param = [&](float sv) {
                return std::clamp((sv - (alongA ? q.ox : q.oy)) / (alongA ? q.ea : q.eb), 0.0f, 1.0f);
            };
            const float pa = param(s0), pb = param(s1);
            const bool texU = screenX == uFollowsX;
            const float base = texU ? p0.u : p0.v, delta = texU ? (alongA ? ua : ub) : (alongA ? va : vb);
            const float size = texU ? TW : TH;
            float lo0 = (base + std::min(pa * delta, pb * delta)) * size - FILTER_REACH;
            float hi0 = (base + std::max(pa * delta, pb * delta)) * size + FILTER_REACH;
            const bool wrap = linear && (texU ? d.addressU : d.addressV) != D3DTADDRESS_CLAMP;
            if (lo0 < -1.0f || hi0 > size + 1.0f || (wrap && (lo0 < 0.0f || hi0 > size))) return false;
            lo = std::max(0, int(std::floor(lo0))) / GlTexture::TILE;
            hi = std::min(int(size) - 1, int(std::floor(hi0))) / GlTexture::TILE;
            return true;
        };
        tt.colLo.resize(size_t(c1 - c0 + 1)), tt.colHi.resize(size_t(c1 - c0 + 1)), tt.colOk.resize(size_t(c1 - c0 + 1));
        tt.rowLo.resize(size_t(r1 - r0 + 1)), tt.rowHi.resize(size_t(r1 - r0 + 1)), tt.rowOk.resize(size_t(r1 - r0 + 1));
        for (int c = c0; c <= c1; ++c) tt.colOk[size_t(c - c0)] = axis(true, c, tt.colLo[size_t(c - c0)], tt.colHi[size_t(c - c0)]);
        for (int r = r0; r <= r1; ++r) tt.rowOk[size_t(r - r0)] = axis(false, r, tt.rowLo[size_t(r - r0)], tt.rowHi[size_t(r - r0)]);
        // The texture tiles read, and how many reads the screen tiles would make one by one.
        auto span = [](const std::vector<int>& lo, const std::vector<int>& hi, const std::vector<char>& ok, int& from, int& to) {
            int64_t reads = 0;
            from = INT32_MAX, to = -1;
            for (size_t k = 0; k < ok.size(); ++k)
                if (ok[k] && hi[k] >= lo[k]) from = std::min(from, lo[k]), to = std::max(to, hi[k]), reads += hi[k] - lo[k] + 1;
            return reads;
        };
        int cFrom, cTo, rFrom, rTo;
        const int64_t colReads = span(tt.colLo, tt.colHi, tt.colOk, cFrom, cTo), rowReads = span(tt.rowLo, tt.rowHi, tt.rowOk, rFrom, rTo);
        if (cTo < cFrom || rTo < rFrom) return;
        if (tt.swapped) std::swap(cFrom, rFrom), std::swap(cTo, rTo);
        const int tw = cTo - cFrom + 1, th = rTo - rFrom + 1;
        if (int64_t(tw) * th >= colReads * rowReads) return;
        tt.counted = true;
        tt.tc0 = cFrom, tt.tr0 = rFrom, tt.tw = tw;
        const size_t stride = size_t(tw) + 1;
        tt.visible.assign(stride * (size_t(th) + 1), 0);
        tt.opaque.assign(stride * (size_t(th) + 1), 0);
        for (int tr = 0; tr < th; ++tr) {
            int visibleRow = 0, opaqueRow = 0;
            const size_t above = size_t(tr) * stride, here = above + stride;
            for (int tc = 0; tc < tw; ++tc) {
                const uint8_t flags = t.tile(cFrom + tc, rFrom + tr);
                visibleRow += (flags & GlTexture::TILE_VISIBLE) != 0;
                opaqueRow += (flags & GlTexture::TILE_OPAQUE) != 0;
                tt.visible[here + size_t(tc) + 1] = tt.visible[above + size_t(tc) + 1] + visibleRow;
                tt.opaque[here + size_t(tc) + 1] = tt.opaque[above + size_t(tc) + 1] + opaqueRow;
            }
        }
        // A screen column's texture tiles run along a row of counts (a step of 1 from tc0), or
        // down a column of them (a step of tw + 1 from tr0) when the texture's axes are swapped.
        auto offsets = [&](const std::vector<int>& lo, const std::vector<int>& hi, const std::vector<char>& ok, bool alongRow,
                           std::vector<int>& from, std::vector<int>& to, std::vector<int>& spanned) {
            const int origin = alongRow ? tt.tc0 : tt.tr0, step = alongRow ? 1 : int(stride);
            from.assign(ok.size(), 0), to.assign(ok.size(), 0), spanned.assign(ok.size(), 0);
            for (size_t k = 0; k < ok.size(); ++k) {
                if (!ok[k] || hi[k] < lo[k]) continue;
                from[k] = (lo[k] - origin) * step, to[k] = (hi[k] + 1 - origin) * step, spanned[k] = hi[k] - lo[k] + 1;
            }
        };
        offsets(tt.colLo, tt.colHi, tt.colOk, !tt.swapped, tt.colFrom, tt.colTo, tt.colSpan);
        offsets(tt.rowLo, tt.rowHi, tt.rowOk, tt.swapped, tt.rowFrom, tt.rowTo, tt.rowSpan);
        const int visibleTiles = tt.visible.back(), opaqueTiles = tt.opaque.back();
        tt.allVisible = visibleTiles == tw * th, tt.noVisible = visibleTiles == 0;
        tt.allOpaque = opaqueTiles == tw * th, tt.noOpaque = opaqueTiles == 0;
    };
    // Whether every texture tile (all = true) or some (all = false) under screen tile (c, r) has
    // the flag; -1 when it cannot be told (the tile reaches past a wrapping edge).
    auto tileFlags = [&](const TileTable& tt, const GlTexture& t, int c, int r, uint8_t flag, bool all) {
        const size_t ci = size_t(c - tt.c0), ri = size_t(r - tt.r0);
        if (!tt.colOk[ci] || !tt.rowOk[ri]) return -1;
        int tc0 = tt.colLo[ci], tc1 = tt.colHi[ci], tr0 = tt.rowLo[ri], tr1 = tt.rowHi[ri];
        if (tt.swapped) std::swap(tc0, tr0), std::swap(tc1, tr1);
        for (int tr = tr0; tr <= tr1; ++tr)
            for (int tc = tc0; tc <= tc1; ++tc)
                if (((t.tile(tc, tr) & flag) != 0) != all) return all ? 0 : 1;
        return all ? 1 : 0;
    };
    // The tiles of the screen a quad's rectangle touches, within the draw's viewport.
    auto tilesOf = [&](const QueuedDraw& d, const FlatQuad& q, int& c0, int& r0, int& c1, int& r1) {
        const D3DVIEWPORT9& vp = d.viewport;
        const float x0 = std::max(q.x0 - 1.0f, float(vp.X)), y0 = std::max(q.y0 - 1.0f, float(vp.Y));
        const float x1 = std::min(q.x1 + 1.0f, float(vp.X + vp.Width)), y1 = std::min(q.y1 + 1.0f, float(vp.Y + vp.Height));
        if (x1 <= x0 || y1 <= y0) return false;
        c0 = std::max(0, int(std::floor(x0)) / T), r0 = std::max(0, int(std::floor(y0)) / T);
        c1 = std::min(columns - 1, (int(std::ceil(x1)) - 1) / T), r1 = std::min(rows - 1, (int(std::ceil(y1)) - 1) / T);
        return true;
    };

    // Where a quad surely replaces every pixel of a screen tile, the tile is covered from that draw on.
    size_t tablesMade = 0;
    for (size_t i = 0; i < n; ++i) {
        const QueuedDraw& d = queuedDraws[i];
        if (prints[i].quads.empty() || d.cull != D3DCULL_NONE || (d.colorWrite & 0xF) != 0xF) continue;
        const bool replaces = (!d.blend || d.opaque) && d.alphaFunc == 0;
        GlTexture* t = d.glTexture;
        if (!replaces && !(d.mayGoOpaque && t)) continue;
        const D3DVIEWPORT9& vp = d.viewport;
        for (FlatQuad& q : prints[i].quads) {
            int c0, r0, c1, r1;
            if (!tilesOf(d, q, c0, r0, c1, r1)) continue;
            // The columns and the rows of tiles with every pixel centre inside the rectangle, not
            // on its edge, and inside the viewport.
            const float inside = 1e-3f;
            p.colInside.resize(size_t(c1 - c0 + 1));
            p.rowInside.resize(size_t(r1 - r0 + 1));
            bool anyColumn = false, anyRow = false;
            for (int c = c0; c <= c1; ++c) {
                const int px0 = c * T, px1 = std::min(W, px0 + T);
                const bool in = !(float(px0) + 0.5f < q.x0 + inside || float(px1) - 0.5f > q.x1 - inside) &&
                                !(px0 < int(vp.X) || px1 > int(vp.X + vp.Width));
                p.colInside[size_t(c - c0)] = in;
                anyColumn = anyColumn || in;
            }
            for (int r = r0; r <= r1; ++r) {
                const int py0 = r * T, py1 = std::min(H, py0 + T);
                const bool in = !(float(py0) + 0.5f < q.y0 + inside || float(py1) - 0.5f > q.y1 - inside) &&
                                !(py0 < int(vp.Y) || py1 > int(vp.Y + vp.Height));
                p.rowInside[size_t(r - r0)] = in;
                anyRow = anyRow || in;
            }
            if (!anyColumn || !anyRow) continue;
            if (!replaces) {
                q.table = int(tablesMade++);
                if (p.tables.size() < tablesMade) p.tables.resize(tablesMade);
                makeTable(d, q, *t, c0, r0, c1, r1, p.tables[size_t(q.table)]);
            }
            const TileTable& tt = replaces ? p.table : p.tables[size_t(q.table)];
            for (int r = r0; r <= r1; ++r) {
                if (!p.rowInside[size_t(r - r0)]) continue;
                int* coverRow = cover.data() + size_t(r) * size_t(columns);
                const TileTable::Row counts = !replaces && tt.separable && tt.counted ? tt.row(size_t(r - tt.r0)) : TileTable::Row{};
                for (int c = c0; c <= c1; ++c) {
                    if (!p.colInside[size_t(c - c0)]) continue;
                    if (replaces) {
                        if (coverRow[c] != OUTSIDE_AREAS) coverRow[c] = int(i);
                        continue;
                    }
                    const int px0 = c * T, py0 = r * T, px1 = std::min(W, px0 + T), py1 = std::min(H, py0 + T);
                    if (tt.separable) {
                        const int opaqueThere = tt.counted ? counts.flags(size_t(c - tt.c0), true, true)
                                                           : tileFlags(tt, *t, c, r, GlTexture::TILE_OPAQUE, true);
                        if (opaqueThere != 1) continue;
                    } else {
                        int tc0, tr0, tc1, tr1;
                        if (!texelTiles(d, q, *t, float(px0), float(py0), float(px1), float(py1), tc0, tr0, tc1, tr1)) continue;
                        bool opaqueThere = true;
                        for (int tr = tr0; tr <= tr1 && opaqueThere; ++tr)
                            for (int tc = tc0; tc <= tc1 && opaqueThere; ++tc)
                                opaqueThere = (t->tile(tc, tr) & GlTexture::TILE_OPAQUE) != 0;
                        if (!opaqueThere) continue;
                    }
                    if (coverRow[c] != OUTSIDE_AREAS) coverRow[c] = int(i);
                }
            }
        }
    }

    // Each draw keeps only the screen tiles that no later draw covers (and, when its texture's
    // transparent texels leave the picture as it is, that show some texel): a draw with none is
    // left out, the quads of a flat strip are cut into rows of rectangles over those tiles. A
    // blended draw that shows only opaque texels over enough of its tiles, where blending and the
    // alpha test leave such texels as they are, draws those tiles as a draw of its own without
    // either, right after the rest.
    std::vector<QuadVertex>&cut = p.cut, &cutOpaque = p.cutOpaque;
    std::vector<std::pair<size_t, QueuedDraw>>& opaqueParts = p.opaqueParts;  // each after the draw at its index
    opaqueParts.clear();
    // The kind of each screen tile of each quad of a draw: not drawn, drawn, drawn without blending.
    enum : char { LEFT_OUT, DRAWN, DRAWN_OPAQUE };
    // (tileKinds: every quad's tiles in a row, each quad's from kindStart on; kept between frames.)
    std::vector<size_t>& kindStart = p.kindStart;
    std::vector<std::pair<int, int>>&runs = p.runs, &lastRuns = p.lastRuns;
    for (size_t i = 0; i < n; ++i) {
        QueuedDraw& d = queuedDraws[i];
        const HiddenPlan::Footprint& f = prints[i];
        if (f.c1 < 0) {
            d.skip = true;
            ++drawsHidden;
            continue;
        }
        auto shows = [&](int c, int r) { return cover[size_t(r) * size_t(columns) + size_t(c)] <= int(i); };
        if (f.quads.empty()) {
            bool any = false;
            for (int r = f.r0; r <= f.r1 && !any; ++r)
                for (int c = f.c0; c <= f.c1 && !any; ++c) any = shows(c, r);
            if (!any) {
                d.skip = true;
                ++drawsHidden;
            }
            continue;
        }
        GlTexture* t = d.glTexture;
        const bool zeroHides = t && d.invisibleZero;
        bool sameColour = true;
        for (UINT k = 1; k < d.vertexCount; ++k) sameColour = sameColour && vertexOf(d, int(k))->color == vertexOf(d, 0)->color;
        // Colours that differ would have to be interpolated: such a draw is not cut.
        const bool mayCut = !(d.readsDiffuse && !sameColour) && d.cull == D3DCULL_NONE;
        // A part of its own pays for its draw and its rectangles' edges when it is large enough
        // (blending costs the software rasteriser a few nanoseconds a pixel, a draw some microseconds).
        constexpr int MIN_OPAQUE_PART_TILES = 24;
        float area = 0.0f;
        for (const FlatQuad& q : f.quads) area += (q.x1 - q.x0) * (q.y1 - q.y0);
        const bool mayPart = bDrawOpaquePartsApart && mayCut && t && d.blend && !d.opaque && d.mayGoOpaque &&
                             area >= float(MIN_OPAQUE_PART_TILES * T * T);
        bool changed = false;
        int opaqueTiles = 0;
        tileKinds.clear();
        kindStart.assign(f.quads.size() + 1, 0);
        for (size_t qi = 0; qi < f.quads.size(); ++qi) {
            const FlatQuad& q = f.quads[qi];
            kindStart[qi] = kindStart[qi + 1] = tileKinds.size();
            int c0, r0, c1, r1;
            if (!tilesOf(d, q, c0, r0, c1, r1)) {
                changed = true;
                continue;
            }
            // (The same table as the cover map's, when it made one for the quad.)
            if ((zeroHides || mayPart) && q.table < 0) makeTable(d, q, *t, c0, r0, c1, r1, p.table);
            const TileTable& tt = q.table >= 0 ? p.tables[size_t(q.table)] : p.table;
            tileKinds.resize(kindStart[qi] + size_t(c1 - c0 + 1) * size_t(r1 - r0 + 1), LEFT_OUT);
            kindStart[qi + 1] = tileKinds.size();
            char* kind = tileKinds.data() + kindStart[qi];
            if (!zeroHides && !mayPart) {
                // Drawn where no later draw covers it.
                for (int r = r0; r <= r1; ++r) {
                    const int* coverRow = cover.data() + size_t(r) * size_t(columns);
                    char* kindRow = kind + size_t(r - r0) * size_t(c1 - c0 + 1);
                    for (int c = c0; c <= c1; ++c) {
                        const bool needed = coverRow[c] <= int(i);
                        kindRow[c - c0] = needed ? DRAWN : LEFT_OUT;
                        changed = changed || !needed;
                    }
                }
                continue;
            }
            for (int r = r0; r <= r1; ++r) {
                const TileTable::Row counts = tt.separable && tt.counted ? tt.row(size_t(r - tt.r0)) : TileTable::Row{};
                for (int c = c0; c <= c1; ++c) {
                    bool needed = shows(c, r);
                    const float x0 = std::max(q.x0, float(c * T)), x1 = std::min(q.x1, float((c + 1) * T));
                    const float y0 = std::max(q.y0, float(r * T)), y1 = std::min(q.y1, float((r + 1) * T));
                    if (needed && zeroHides && tt.separable) {
                        needed = (tt.counted ? counts.flags(size_t(c - tt.c0), false, false)
                                             : tileFlags(tt, *t, c, r, GlTexture::TILE_VISIBLE, false)) != 0;
                    } else if (needed && zeroHides) {
                        int tc0, tr0, tc1, tr1;
                        if (x1 > x0 && y1 > y0 && texelTiles(d, q, *t, x0, y0, x1, y1, tc0, tr0, tc1, tr1)) {
                            needed = false;
                            for (int tr = tr0; tr <= tr1 && !needed; ++tr)
                                for (int tc = tc0; tc <= tc1 && !needed; ++tc)
                                    needed = (t->tile(tc, tr) & GlTexture::TILE_VISIBLE) != 0;
                        }
                    }
                    if (!needed) {
                        changed = true;
                        continue;
                    }
                    bool opaqueHere = false;
                    if (mayPart && tt.separable) {
                        opaqueHere = (tt.counted ? counts.flags(size_t(c - tt.c0), true, true)
                                                 : tileFlags(tt, *t, c, r, GlTexture::TILE_OPAQUE, true)) == 1;
                    } else if (mayPart) {
                        int tc0 = 0, tr0 = 0, tc1 = -1, tr1 = -1;
                        opaqueHere = x1 > x0 && y1 > y0 && texelTiles(d, q, *t, x0, y0, x1, y1, tc0, tr0, tc1, tr1);
                        for (int tr = tr0; tr <= tr1 && opaqueHere; ++tr)
                            for (int tc = tc0; tc <= tc1 && opaqueHere; ++tc)
                                opaqueHere = (t->tile(tc, tr) & GlTexture::TILE_OPAQUE) != 0;
                    }
                    kind[size_t(r - r0) * size_t(c1 - c0 + 1) + size_t(c - c0)] = opaqueHere ? DRAWN_OPAQUE : DRAWN;
                    opaqueTiles += opaqueHere;
                }
            }
        }
        bool parted = opaqueTiles >= MIN_OPAQUE_PART_TILES;
        if (!changed && !parted) continue;
        if (!mayCut) {
            // Still wholly hidden when no tile is drawn.
            bool any = false;
            for (char k : tileKinds) any = any || k != LEFT_OUT;
            if (!any) {
                d.skip = true;
                ++drawsHidden;
            }
            continue;
        }
        // What the cut costs: the pixels of its rectangles and those shaded twice along each
        // one's diagonal (the rasteriser shades blocks of pixels), against the quads as they are.
        double cutCost = 0.0, wholeCost = 0.0;
        auto emitAll = [&] {
            cutCost = wholeCost = 0.0;
            cut.clear();
            cutOpaque.clear();
            for (size_t qi = 0; qi < f.quads.size(); ++qi) {
                const FlatQuad& q = f.quads[qi];
                wholeCost += double(q.x1 - q.x0) * double(q.y1 - q.y0) + 4.0 * double(std::max(q.x1 - q.x0, q.y1 - q.y0));
                int c0, r0, c1, r1;
                if (kindStart[qi + 1] == kindStart[qi] || !tilesOf(d, q, c0, r0, c1, r1)) continue;
                const char* kind = tileKinds.data() + kindStart[qi];
                // The tiles of one kind (DRAWN_OPAQUE apart only when the draw is parted) into 'out':
                // rows of tiles with the same runs make one band of rectangles.
                auto emit = [&](bool opaquePart, std::vector<QuadVertex>& out) {
                    auto wanted = [&](int c, int r) {
                        const char k = kind[size_t(r - r0) * size_t(c1 - c0 + 1) + size_t(c - c0)];
                        return parted ? k == (opaquePart ? DRAWN_OPAQUE : DRAWN) : k != LEFT_OUT;
                    };
                    auto emitBand = [&](int top, int bottom) {
                        for (const auto& [start, end] : lastRuns) {
                            const float x0 = std::max(q.x0, float(start * T)), x1 = std::min(q.x1, float((end + 1) * T));
                            const float y0 = std::max(q.y0, float(top * T)), y1 = std::min(q.y1, float((bottom + 1) * T));
                            if (x1 <= x0 || y1 <= y0) continue;
                            cutCost += double(x1 - x0) * double(y1 - y0) + 4.0 * double(std::max(x1 - x0, y1 - y0));
                            float a0, b0, a1, b1;
                            along(q, x0, y0, a0, b0);
                            along(q, x1, y1, a1, b1);
                            const QuadVertex v00 = blend(d, q, a0, b0), v10 = blend(d, q, a1, b0), v01 = blend(d, q, a0, b1),
                                             v11 = blend(d, q, a1, b1);
                            out.insert(out.end(), {v00, v10, v01, v10, v11, v01});
                        }
                    };
                    int bandTop = r0;
                    lastRuns.clear();
                    const size_t width = size_t(c1 - c0 + 1);
                    for (int r = r0; r <= r1 + 1; ++r) {
                        if (r > r0 && r <= r1 && std::memcmp(kind + size_t(r - r0) * width, kind + size_t(r - 1 - r0) * width, width) == 0)
                            continue;
                        runs.clear();
                        int start = -1;
                        for (int c = c0; c <= c1 + 1 && r <= r1; ++c) {
                            const bool needed = c <= c1 && wanted(c, r);
                            if (needed && start < 0) start = c;
                            if (!needed && start >= 0) {
                                runs.emplace_back(start, c - 1);
                                start = -1;
                            }
                        }
                        if (r <= r1 && r > r0 && runs == lastRuns) continue;
                        if (r > r0) emitBand(bandTop, r - 1);
                        bandTop = r;
                        lastRuns.swap(runs);
                    }
                };
                emit(false, cut);
                if (parted) emit(true, cutOpaque);
            }
        };
        emitAll();
        // Opaque texels in patches make many small rectangles, each with its cost in the
        // rasteriser's setup: such a draw is not parted.
        if (parted && (cut.size() + cutOpaque.size()) / 6 > size_t(8 + opaqueTiles / 8)) {
            parted = false;
            emitAll();
            if (!changed) continue;
        }
        if (cut.empty() && cutOpaque.empty()) {
            d.skip = true;
            ++drawsHidden;
            continue;
        }
        // A cut that costs more than the quads as they are is not worth it (unless it parts the draw).
        if (!parted && cutCost >= wholeCost) continue;
        auto place = [&](QueuedDraw& to, const std::vector<QuadVertex>& vertices) {
            to.firstByte = queuedVertices.size();
            const auto* bytes = reinterpret_cast<const uint8_t*>(vertices.data());
            queuedVertices.insert(queuedVertices.end(), bytes, bytes + vertices.size() * sizeof(QuadVertex));
            to.vertexCount = UINT(vertices.size());
            to.mode = GL_TRIANGLES;
            to.withinAreas = areas != nullptr;
        };
        if (parted) {
            ++drawsPartedOpaque;
            QueuedDraw part = d;
            part.opaque = true;
            part.alphaFunc = 0;
            place(part, cutOpaque);
            if (cut.empty()) {
                d = part;  // all it shows is opaque
                continue;
            }
            part.texture->AddRef();
            opaqueParts.emplace_back(i, part);
        }
        place(d, cut);
        ++quadsCutHidden;
    }
    if (!opaqueParts.empty()) {
        std::vector<QueuedDraw>& withParts = p.withParts;
        withParts.clear();
        withParts.reserve(n + opaqueParts.size());
        size_t next = 0;
        for (size_t i = 0; i < n; ++i) {
            withParts.push_back(queuedDraws[i]);
            for (; next < opaqueParts.size() && opaqueParts[next].first == i; ++next) withParts.push_back(opaqueParts[next].second);
        }
        queuedDraws.swap(withParts);
    }
}

void GlDevice::flushDraws(bool atPresent) {
    if (queuedDraws.empty()) return;
    makeCurrent();
    shown = Shown::NOTHING;
    markQueuedDraws();
    bindTarget();
    // A frame drawn at once as it is shown may keep what the target holds of the frame before.
    const bool inPart =
        atPresent && bRedrawChangesOnly && !bFlushedThisFrame && bLastMarksHeld && changedAreas(plan->areas);
    bFlushedThisFrame = true;
    for (QueuedDraw& d : queuedDraws) d.withinAreas = false;
    // A frame drawn in part is kept as it was asked for: a read between frames draws it whole.
    if (inPart) {
        plan->wholeDraws = queuedDraws;
        plan->wholeVertices = queuedVertices;
    }
    if (bSkipHidden) skipHiddenDraws(inPart ? &plan->areas : nullptr);
    if (inPart) clipToAreas(plan->areas);
    beginFrameStatistics();
    drawRecorded(queuedDraws, queuedVertices, inPart ? &plan->areas : nullptr);
    framesDrawnInPart += inPart;
    if (inPart) {
        // (Each draw kept holds its texture; the planned ones, parts among them, let theirs go.)
        for (QueuedDraw& d : plan->wholeDraws)
            if (d.texture) d.texture->AddRef();
        for (QueuedDraw& d : queuedDraws)
            if (d.texture) d.texture->Release();
        queuedDraws.swap(plan->wholeDraws);
        queuedVertices.swap(plan->wholeVertices);
        plan->wholeDraws.clear();
        plan->wholeVertices.clear();
    }
    // The frame's draws are kept until the next frame is shown: a read between frames draws the
    // frame last shown again.
    for (QueuedDraw& d : queuedDraws) {
        d.firstByte += frameVertices.size();
        frameDraws.push_back(d);
    }
    frameVertices.insert(frameVertices.end(), queuedVertices.begin(), queuedVertices.end());
    queuedDraws.clear();
    queuedVertices.clear();
    // What is set outside the queue follows the device's states again.
    applyViewportAndScissor();
    applyBlendAndCull();
    applySampler();
}

std::array<int, 4> GlDevice::footprint(const QueuedDraw& d, const uint8_t* bytes) const {
    const int H = int(present.BackBufferHeight);
    if (d.mode == CLEAR_MODE) {
        if (d.vertexCount == 0) return {0, 0, 0, 0};
        std::array<int, 4> a = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        const auto* r = reinterpret_cast<const int32_t*>(bytes + d.firstByte);
        for (UINT k = 0; k < d.vertexCount; ++k, r += 4)
            a = {std::min(a[0], r[0]), std::min(a[1], r[1]), std::max(a[2], r[0] + r[2]), std::max(a[3], r[1] + r[3])};
        return a;
    }
    const D3DVIEWPORT9& vp = d.viewport;
    const std::array<int, 4> view = {int(vp.X), H - int(vp.Y) - int(vp.Height), int(vp.X + vp.Width), H - int(vp.Y)};
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (UINT v = 0; v < d.vertexCount; ++v) {
        float sx, sy, w;
        if (!screenPoint(d.matrix, vp, reinterpret_cast<const float*>(bytes + d.firstByte + size_t(v) * d.stride), sx, sy, w))
            return view;
        x0 = std::min(x0, sx), y0 = std::min(y0, sy), x1 = std::max(x1, sx), y1 = std::max(y1, sy);
    }
    if (d.vertexCount == 0) return {0, 0, 0, 0};
    // A point or a line reaches beyond its vertices: a pixel of margin, and some more for those.
    const bool triangles = d.mode == GL_TRIANGLES || d.mode == GL_TRIANGLE_STRIP || d.mode == GL_TRIANGLE_FAN;
    const float margin = triangles ? 1.0f : 2.0f;
    // (Clamped before the conversion: a vertex far off the screen stays within int.)
    auto pixel = [](float v) { return int(std::clamp(v, -1e6f, 1e6f)); };
    const int left = pixel(std::floor(x0 - margin)), right = pixel(std::ceil(x1 + margin));
    const int top = pixel(std::floor(y0 - margin)), bottom = pixel(std::ceil(y1 + margin));
    return {std::max(left, view[0]), std::max(H - bottom, view[1]), std::min(right, view[2]), std::min(H - top, view[3])};
}

void GlDevice::markQueuedDraws() {
    for (const QueuedDraw& d : queuedDraws) {
        uint64_t hash = 14695981039346656037ull;
        auto mix = [&hash](const void* data, size_t size) {
            const auto* b = static_cast<const uint8_t*>(data);
            for (size_t i = 0; i < size; ++i) hash = (hash ^ b[i]) * 1099511628211ull;
        };
        auto mixValue = [&mix](auto value) { mix(&value, sizeof(value)); };
        mixValue(d.mode), mixValue(d.vertexCount), mixValue(d.factor), mixValue(d.colorWrite);
        if (d.mode == CLEAR_MODE) {
            mix(queuedVertices.data() + d.firstByte, size_t(d.vertexCount) * 4 * sizeof(int32_t));
        } else {
            mixValue(d.stride);
            mix(queuedVertices.data() + d.firstByte, size_t(d.vertexCount) * d.stride);
            for (DWORD v : {d.srcBlend, d.destBlend, d.cull, d.alphaFunc, d.alphaRef, d.colorOp, d.colorArg1, d.colorArg2, d.alphaOp,
                            d.alphaArg1, d.alphaArg2, d.addressU, d.addressV, d.magFilter, d.minFilter})
                mixValue(v);
            mixValue(uint8_t(d.blend | d.opaque << 1 | d.mayGoOpaque << 2 | d.invisibleZero << 3 | d.readsDiffuse << 4));
            mix(d.matrix, sizeof(d.matrix));
            for (DWORD v : {d.viewport.X, d.viewport.Y, d.viewport.Width, d.viewport.Height}) mixValue(v);
            // The texture's contents: a texture of another kind may have changed in any way.
            mixValue(d.texture ? d.texture->getGlTextureName() : 0u);
            mixValue(d.glTexture ? d.glTexture->contentStamp() : d.texture ? GlTexture::newContentStamp() : 0);
        }
        frameMarks.push_back({hash, footprint(d, queuedVertices.data()), d.mode == CLEAR_MODE && (d.colorWrite & 0xF) == 0xF});
    }
}

void GlDevice::clipToAreas(const std::vector<std::array<int, 4>>& areas) {
    // A draw of triangles without perspective maps its vertices to the screen by an affine map:
    // each triangle clipped to each area it meets (on the screen, carrying the triangle's own
    // coordinates) gives the same pixels from one draw as the draw repeated within each area.
    const int H = int(present.BackBufferHeight);
    HiddenPlan& p = *plan;
    struct Point {
        float x, y, a, b;  // on the screen from the top left; in the triangle, along v1 - v0 and v2 - v0
    };
    std::vector<Point> polygon, next;
    std::vector<QuadVertex>& out = p.cut;
    for (QueuedDraw& d : queuedDraws) {
        if (d.skip || d.withinAreas || d.mode == CLEAR_MODE || d.stride != sizeof(QuadVertex) || d.cull != D3DCULL_NONE) continue;
        if (d.mode != GL_TRIANGLES && d.mode != GL_TRIANGLE_STRIP && d.mode != GL_TRIANGLE_FAN) continue;
        if (d.vertexCount < 3) continue;
        const auto* v = reinterpret_cast<const QuadVertex*>(queuedVertices.data() + d.firstByte);
        bool sameColour = true;
        for (UINT k = 1; k < d.vertexCount; ++k) sameColour = sameColour && v[k].color == v[0].color;
        if (d.readsDiffuse && !sameColour) continue;
        if (p.sx.size() < d.vertexCount) p.sx.resize(d.vertexCount), p.sy.resize(d.vertexCount), p.w.resize(d.vertexCount);
        bool affine = true;
        for (UINT k = 0; k < d.vertexCount && affine; ++k)
            affine = screenPoint(d.matrix, d.viewport, &v[k].x, p.sx[k], p.sy[k], p.w[k]) &&
                     std::fabs(p.w[k] - p.w[0]) <= std::fabs(p.w[0]) * 1e-6f;
        if (!affine) continue;
        out.clear();
        const UINT triangles = d.mode == GL_TRIANGLES ? d.vertexCount / 3 : d.vertexCount - 2;
        for (UINT t = 0; t < triangles; ++t) {
            UINT i0, i1, i2;
            if (d.mode == GL_TRIANGLES) i0 = 3 * t, i1 = 3 * t + 1, i2 = 3 * t + 2;
            else if (d.mode == GL_TRIANGLE_FAN) i0 = 0, i1 = t + 1, i2 = t + 2;
            else i0 = t, i1 = t + 1, i2 = t + 2;
            const float tx0 = std::min({p.sx[i0], p.sx[i1], p.sx[i2]}), tx1 = std::max({p.sx[i0], p.sx[i1], p.sx[i2]});
            const float ty0 = std::min({p.sy[i0], p.sy[i1], p.sy[i2]}), ty1 = std::max({p.sy[i0], p.sy[i1], p.sy[i2]});
            for (const std::array<int, 4>& area : areas) {
                const float ax0 = float(area[0]), ax1 = float(area[2]), ay0 = float(H - area[3]), ay1 = float(H - area[1]);
                if (tx1 <= ax0 || tx0 >= ax1 || ty1 <= ay0 || ty0 >= ay1) continue;
                polygon = {{p.sx[i0], p.sy[i0], 0, 0}, {p.sx[i1], p.sy[i1], 1, 0}, {p.sx[i2], p.sy[i2], 0, 1}};
                // Against each edge of the area in turn; a point where an edge crosses is found from
                // the segment's ends in one order whichever way the segment runs, so that triangles
                // sharing a side cut it at the very same point.
                for (int edge = 0; edge < 4 && !polygon.empty(); ++edge) {
                    auto inside = [&](const Point& q) {
                        switch (edge) {
                            case 0: return q.x >= ax0;
                            case 1: return q.x <= ax1;
                            case 2: return q.y >= ay0;
                            default: return q.y <= ay1;
                        }
                    };
                    auto cross = [&](Point q, Point r) {
                        if (r.x < q.x || (r.x == q.x && r.y < q.y)) std::swap(q, r);
                        const bool alongX = edge < 2;
                        const float bound = edge == 0 ? ax0 : edge == 1 ? ax1 : edge == 2 ? ay0 : ay1;
                        const float from = alongX ? q.x : q.y, to = alongX ? r.x : r.y;
                        const float f = (bound - from) / (to - from);
                        Point m{q.x + f * (r.x - q.x), q.y + f * (r.y - q.y), q.a + f * (r.a - q.a), q.b + f * (r.b - q.b)};
                        (alongX ? m.x : m.y) = bound;
                        return m;
                    };
                    next.clear();
                    for (size_t k = 0; k < polygon.size(); ++k) {
                        const Point& q = polygon[k];
                        const Point& r = polygon[(k + 1) % polygon.size()];
                        const bool qIn = inside(q), rIn = inside(r);
                        if (qIn) next.push_back(q);
                        if (qIn != rIn) next.push_back(cross(q, r));
                    }
                    polygon.swap(next);
                }
                if (polygon.size() < 3) continue;
                auto vertexAt = [&](const Point& q) {
                    auto mix = [&](float f0, float f1, float f2) { return f0 + q.a * (f1 - f0) + q.b * (f2 - f0); };
                    QuadVertex o = v[i0];
                    o.x = mix(v[i0].x, v[i1].x, v[i2].x), o.y = mix(v[i0].y, v[i1].y, v[i2].y), o.z = mix(v[i0].z, v[i1].z, v[i2].z);
                    o.u = mix(v[i0].u, v[i1].u, v[i2].u), o.v = mix(v[i0].v, v[i1].v, v[i2].v);
                    return o;
                };
                for (size_t k = 1; k + 1 < polygon.size(); ++k)
                    out.insert(out.end(), {vertexAt(polygon[0]), vertexAt(polygon[k]), vertexAt(polygon[k + 1])});
            }
        }
        if (out.empty()) {
            d.skip = true;
            continue;
        }
        d.firstByte = queuedVertices.size();
        const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
        queuedVertices.insert(queuedVertices.end(), bytes, bytes + out.size() * sizeof(QuadVertex));
        d.vertexCount = UINT(out.size());
        d.mode = GL_TRIANGLES;
        d.withinAreas = true;
    }
}

void GlDevice::forgetTargetContents() {
    lastMarks.clear();
    bLastMarksHeld = false;
}

bool GlDevice::changedAreas(std::vector<std::array<int, 4>>& areas) {
    areas.clear();
    const std::vector<DrawMark>&a = lastMarks, &b = frameMarks;
    // Only a frame that starts by clearing all it draws on, as the one before did, leaves no
    // trace of earlier frames in its pixels.
    if (b.empty() || !b[0].clearsAll || a.empty() || a[0].area != b[0].area) return false;
    const std::array<int, 4> whole = b[0].area;
    auto within = [&](const DrawMark& m) {
        return m.area[2] <= m.area[0] || m.area[3] <= m.area[1] ||
               (m.area[0] >= whole[0] && m.area[1] >= whole[1] && m.area[2] <= whole[2] && m.area[3] <= whole[3]);
    };
    for (const std::vector<DrawMark>* list : {&a, &b})
        for (const DrawMark& m : *list)
            if (!within(m)) return false;

    // A pixel outside the areas of the draws that are not in both frames in the same order is
    // touched by the same draws in the same order in both: it keeps its colour.
    const int T = CHANGE_TILE;
    const int W = int(present.BackBufferWidth), H = int(present.BackBufferHeight);
    const int columns = (W + T - 1) / T, rows = (H + T - 1) / T;
    changedTiles.assign(size_t(columns) * size_t(rows), 0);
    // (Tiles counted from the top left, as the hidden-draw planner's are.)
    auto change = [&](const DrawMark& m) {
        if (m.area[2] <= m.area[0] || m.area[3] <= m.area[1]) return;
        const TileRange tiles = tilesUnder(m.area, T, H, columns, rows);
        for (int r = tiles.r0; r <= tiles.r1; ++r)
            std::memset(changedTiles.data() + size_t(r) * size_t(columns) + size_t(tiles.c0), 1, size_t(tiles.c1 - tiles.c0 + 1));
    };
    auto same = [](const DrawMark& x, const DrawMark& y) { return x.hash == y.hash && x.area == y.area && x.clearsAll == y.clearsAll; };
    size_t head = 0;
    while (head < a.size() && head < b.size() && same(a[head], b[head])) ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && same(a[a.size() - 1 - tail], b[b.size() - 1 - tail])) ++tail;
    // Between them, each new draw is matched with the next equal old one not far ahead (draws in
    // both lists in the same order); those passed over and those left unmatched changed.
    constexpr size_t LOOK_AHEAD = 32;
    size_t next = head;
    const size_t aEnd = a.size() - tail, bEnd = b.size() - tail;
    for (size_t j = head; j < bEnd; ++j) {
        size_t found = aEnd;
        for (size_t k = next; k < aEnd && k < next + LOOK_AHEAD; ++k)
            if (same(a[k], b[j])) {
                found = k;
                break;
            }
        if (found == aEnd) {
            change(b[j]);
            continue;
        }
        for (size_t k = next; k < found; ++k) change(a[k]);
        next = found + 1;
    }
    for (size_t k = next; k < aEnd; ++k) change(a[k]);

    // The changed tiles as rectangles: bands of rows with the same runs of tiles.
    std::vector<std::pair<int, int>>&runs = plan->runs, &lastRuns = plan->lastRuns;
    lastRuns.clear();
    int64_t changedPixels = 0;
    int bandTop = 0;
    for (int r = 0; r <= rows; ++r) {
        runs.clear();
        const char* row = changedTiles.data() + size_t(std::min(r, rows - 1)) * size_t(columns);
        for (int c = 0; c < columns && r < rows; ++c) {
            if (!row[c]) continue;
            int end = c;
            while (end + 1 < columns && row[end + 1]) ++end;
            runs.emplace_back(c, end);
            c = end;
        }
        if (r > 0 && runs == lastRuns) continue;
        for (const auto& [c0, c1] : lastRuns) {
            const std::array<int, 4> area = {c0 * T, H - std::min(H, r * T), std::min(W, (c1 + 1) * T), H - bandTop * T};
            changedPixels += int64_t(area[2] - area[0]) * (area[3] - area[1]);
            areas.push_back(area);
        }
        bandTop = r;
        lastRuns.swap(runs);
    }
    // Drawing the frame whole costs less than drawing most of it in many parts.
    constexpr size_t MAX_AREAS = 64;
    const int64_t wholePixels = int64_t(whole[2] - whole[0]) * (whole[3] - whole[1]);
    return areas.size() <= MAX_AREAS && changedPixels * 2 <= wholePixels;
}

std::vector<D3DCOLOR> GlDevice::readTargetPixels() {
    makeCurrent();
    flushDraws();
    bindTarget();
    return readTarget();
}

std::vector<D3DCOLOR> GlDevice::readTarget() const {
    const UINT w = present.BackBufferWidth, h = present.BackBufferHeight;
    std::vector<D3DCOLOR> bottomUp(size_t(w) * h), pixels(size_t(w) * h);
    glReadPixels(0, 0, GLsizei(w), GLsizei(h), GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (UINT row = 0; row < h; ++row)
        std::memcpy(pixels.data() + size_t(row) * w, bottomUp.data() + size_t(h - 1 - row) * w, size_t(w) * sizeof(D3DCOLOR));
    return pixels;
}

std::vector<uint8_t> GlDevice::frameDrawnVertices() const {
    std::vector<uint8_t> out;
    for (const QueuedDraw& d : frameDraws) {
        if (d.skip || d.mode == CLEAR_MODE) continue;
        const uint32_t head[3] = {d.mode, d.vertexCount, d.stride};
        const auto* h = reinterpret_cast<const uint8_t*>(head);
        out.insert(out.end(), h, h + sizeof(head));
        const auto from = frameVertices.begin() + std::ptrdiff_t(d.firstByte);
        out.insert(out.end(), from, from + std::ptrdiff_t(size_t(d.vertexCount) * d.stride));
    }
    return out;
}

const GlDevice::Program* GlDevice::programFor(uint32_t key) {
    auto found = programs.find(key);
    if (found != programs.end()) return found->second.name ? &found->second : nullptr;
    Program& p = programs[key];  // a program that fails is not tried again
    const std::string source = fragmentProgramSource(key);
    GLuint fs = compileShader(GL_FRAGMENT_SHADER, source.c_str());
    if (!fs) return nullptr;
    GLuint name = glCreateProgram();
    glAttachShader(name, vertexShader);
    glAttachShader(name, fs);
    glLinkProgram(name);
    glDetachShader(name, vertexShader);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(name, GL_LINK_STATUS, &linked);
    if (!linked) {
        SDL_Log("Shader program %#x failed to link", unsigned(key));
        glDeleteProgram(name);
        return nullptr;
    }
    p.name = name;
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(name);
    glUniform1i(glGetUniformLocation(name, "uTexture"), 0);
    glUseProgram(GLuint(previous));
    const char* uniformNames[U_COUNT] = {"uMatrix", "uPixelOffset", "uTextureFactor", "uAlphaRef"};
    for (int i = 0; i < U_COUNT; ++i) p.uniforms[i] = glGetUniformLocation(name, uniformNames[i]);
    return &p;
}

void GlDevice::drawRecorded(const std::vector<QueuedDraw>& draws, const std::vector<uint8_t>& bytes,
                            const std::vector<std::array<int, 4>>* areas) {
    // Scissors 'box' (x0, y0, x1, y1 from the bottom left) to each area in turn, calling draw()
    // for each that it meets; once for the box itself without areas.
    auto inAreas = [areas](const std::array<int, 4>& box, auto&& draw) {
        if (!areas) {
            glScissor(box[0], box[1], box[2] - box[0], box[3] - box[1]);
            draw();
            return;
        }
        for (const std::array<int, 4>& a : *areas) {
            const int x0 = std::max(a[0], box[0]), y0 = std::max(a[1], box[1]);
            const int x1 = std::min(a[2], box[2]), y1 = std::min(a[3], box[3]);
            if (x1 <= x0 || y1 <= y0) continue;
            glScissor(x0, y0, x1 - x0, y1 - y0);
            draw();
        }
    };
    GLuint current = 0;
    glBindVertexArray(vertexArray);
    if (!scratchBuffer) glGenBuffers(1, &scratchBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, scratchBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes.size()), bytes.data(), GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glActiveTexture(GL_TEXTURE0);
    for (const QueuedDraw& d : draws) {
        if (d.skip) continue;
        if (d.mode == CLEAR_MODE) {
            glColorMask(d.colorWrite & 1, d.colorWrite & 2, d.colorWrite & 4, d.colorWrite & 8);
            glClearColor(((d.factor >> 16) & 0xFF) / 255.0f, ((d.factor >> 8) & 0xFF) / 255.0f, (d.factor & 0xFF) / 255.0f,
                         ((d.factor >> 24) & 0xFF) / 255.0f);
            glEnable(GL_SCISSOR_TEST);
            const auto* r = reinterpret_cast<const int32_t*>(bytes.data() + d.firstByte);
            for (UINT k = 0; k < d.vertexCount; ++k, r += 4)
                inAreas({r[0], r[1], r[0] + r[2], r[1] + r[3]}, [] { glClear(GL_COLOR_BUFFER_BIT); });
            continue;
        }
        const D3DVIEWPORT9& vp = d.viewport;
        const GLint y = GLint(present.BackBufferHeight) - GLint(vp.Y) - GLint(vp.Height);
        glViewport(GLint(vp.X), y, GLsizei(vp.Width), GLsizei(vp.Height));
        // Drawn in part: only where the draw meets the areas.
        std::array<int, 4> box = {GLint(vp.X), y, GLint(vp.X + vp.Width), y + GLint(vp.Height)};
        if (areas && d.withinAreas) {
            glScissor(box[0], box[1], box[2] - box[0], box[3] - box[1]);
        } else if (areas) {
            box = footprint(d, bytes.data());
            if (box[2] <= box[0] || box[3] <= box[1]) continue;
        }
        if (d.blend && !d.opaque) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
        glBlendFunc(blendFactor(d.srcBlend), blendFactor(d.destBlend));
        switch (d.cull) {
            case D3DCULL_CW: glEnable(GL_CULL_FACE), glFrontFace(GL_CCW), glCullFace(GL_BACK); break;
            case D3DCULL_CCW: glEnable(GL_CULL_FACE), glFrontFace(GL_CW), glCullFace(GL_BACK); break;
            default: glDisable(GL_CULL_FACE); break;
        }
        glColorMask(d.colorWrite & 1, d.colorWrite & 2, d.colorWrite & 4, d.colorWrite & 8);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, addressMode(d.addressU));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, addressMode(d.addressV));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, d.magFilter >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, d.minFilter >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        auto offset = [&](size_t field) { return reinterpret_cast<const void*>(d.firstByte + field); };
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, GLsizei(d.stride), offset(0));
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(d.stride), offset(12));
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, GLsizei(d.stride), offset(16));
        const Program* p = programFor(fragmentProgramKey(d.texture != nullptr, d.colorOp, d.colorArg1, d.colorArg2, d.alphaOp,
                                                         d.alphaArg1, d.alphaArg2, d.alphaFunc));
        if (!p) continue;
        if (p->name != current) glUseProgram(current = p->name);
        glUniformMatrix4fv(p->uniforms[U_MATRIX], 1, GL_TRUE, d.matrix);
        glUniform2f(p->uniforms[U_PIXEL_OFFSET], 1.0f / float(vp.Width), -1.0f / float(vp.Height));
        // The factor's colour and alpha, each 1 where its operation does not read the factor: a
        // program shared by the texel alone multiplies by it (any other reader gets the true value).
        const bool colourFactor = readsFactor(d.colorOp, d.colorArg1, d.colorArg2);
        const bool alphaFactor = readsFactor(d.alphaOp, d.alphaArg1, d.alphaArg2);
        glUniform4f(p->uniforms[U_TEXTURE_FACTOR], colourFactor ? ((d.factor >> 16) & 0xFF) / 255.0f : 1.0f,
                    colourFactor ? ((d.factor >> 8) & 0xFF) / 255.0f : 1.0f, colourFactor ? (d.factor & 0xFF) / 255.0f : 1.0f,
                    alphaFactor ? ((d.factor >> 24) & 0xFF) / 255.0f : 1.0f);
        glUniform1f(p->uniforms[U_ALPHA_REF], float(d.alphaRef));
        glBindTexture(GL_TEXTURE_2D, d.texture ? d.texture->getGlTextureName() : 0);
        if (areas && d.withinAreas) glDrawArrays(d.mode, 0, GLsizei(d.vertexCount));
        else inAreas(box, [&] { glDrawArrays(d.mode, 0, GLsizei(d.vertexCount)); });
    }
}

void GlDevice::dropFrames() {
    dropQueuedDraws();
    for (auto* list : {&frameDraws, &shownDraws})
        for (QueuedDraw& d : *list)
            if (d.texture) d.texture->Release();
    frameDraws.clear();
    shownDraws.clear();
    frameVertices.clear();
    shownVertices.clear();
    frameMarks.clear();
    bFlushedThisFrame = false;
    forgetTargetContents();
}

void GlDevice::frameShown(Shown where, bool kept) {
    for (QueuedDraw& d : shownDraws)
        if (d.texture) d.texture->Release();
    shownDraws.swap(frameDraws);
    shownVertices.swap(frameVertices);
    frameDraws.clear();
    frameVertices.clear();
    shown = where;
    // The target keeps the frame where it was not swapped away, or where the driver says the
    // window's back buffer holds the frame just shown.
    lastMarks.swap(frameMarks);
    frameMarks.clear();
    bFlushedThisFrame = false;
    bLastMarksHeld = kept || currentBackBufferAge() == 1;
}

void GlDevice::dropQueuedDraws() {
    for (QueuedDraw& d : queuedDraws)
        if (d.texture) d.texture->Release();
    queuedDraws.clear();
    queuedVertices.clear();
}

GlDevice::QuadPlan GlDevice::planQuad(const GlTexture& t, const void* data, void* trimmedOut, bool& opaque) const {
    opaque = false;
    const auto* in = static_cast<const QuadVertex*>(data);
    auto* out = static_cast<QuadVertex*>(trimmedOut);
    const DWORD* stage = stageStates[0];
    const bool invisibleZero = zeroAlphaTexelIsInvisible(stage, renderStates);
    const bool verticesOpaque = (in[0].color >> 24) == 0xFF && (in[1].color >> 24) == 0xFF && (in[2].color >> 24) == 0xFF &&
                                (in[3].color >> 24) == 0xFF;
    const bool mayGoOpaque = opaqueTexelNeedsNoBlending(stage, renderStates, verticesOpaque);
    if (!invisibleZero && !mayGoOpaque) return QuadPlan::AS_IS;

    // The quad must be a parallelogram carrying a rectangle of the texture, each corner one corner
    // of it, within the texture (no repeats).
    float uMin = in[0].u, uMax = in[0].u, vMin = in[0].v, vMax = in[0].v;
    for (int i = 1; i < 4; ++i) {
        uMin = std::min(uMin, in[i].u), uMax = std::max(uMax, in[i].u);
        vMin = std::min(vMin, in[i].v), vMax = std::max(vMax, in[i].v);
    }
    if (!(uMin >= 0.0f && vMin >= 0.0f && uMax <= 1.0f && vMax <= 1.0f) || uMax <= uMin || vMax <= vMin) return QuadPlan::AS_IS;
    int corner[2][2] = {{-1, -1}, {-1, -1}};  // [u is max][v is max]
    for (int i = 0; i < 4; ++i) {
        const bool atUMin = in[i].u == uMin, atUMax = in[i].u == uMax, atVMin = in[i].v == vMin, atVMax = in[i].v == vMax;
        if (atUMin == atUMax || atVMin == atVMax) return QuadPlan::AS_IS;
        int& c = corner[atUMax][atVMax];
        if (c >= 0) return QuadPlan::AS_IS;
        c = i;
    }
    const QuadVertex& p00 = in[corner[0][0]];
    const QuadVertex& p10 = in[corner[1][0]];
    const QuadVertex& p01 = in[corner[0][1]];
    const QuadVertex& p11 = in[corner[1][1]];
    const float span = std::max({std::fabs(p10.x - p00.x), std::fabs(p10.y - p00.y), std::fabs(p01.x - p00.x),
                                 std::fabs(p01.y - p00.y), 1.0f});
    const float tolerance = span * 1e-5f;
    if (std::fabs(p00.x + p11.x - p10.x - p01.x) > tolerance || std::fabs(p00.y + p11.y - p10.y - p01.y) > tolerance ||
        std::fabs(p00.z + p11.z - p10.z - p01.z) > tolerance)
        return QuadPlan::AS_IS;

    // The texels under the quad, and the tiles around the ones that may show.
    const float W = float(t.getWidth()), H = float(t.getHeight());
    const float x0 = uMin * W, x1 = uMax * W, y0 = vMin * H, y1 = vMax * H;
    const int T = GlTexture::TILE;
    const int c0 = std::max(0, int(std::floor(x0)) / T), c1 = std::min(t.tileColumns() - 1, (int(std::ceil(x1)) - 1) / T);
    const int r0 = std::max(0, int(std::floor(y0)) / T), r1 = std::min(t.tileRows() - 1, (int(std::ceil(y1)) - 1) / T);
    int vc0 = INT32_MAX, vc1 = -1, vr0 = INT32_MAX, vr1 = -1;
    bool allOpaque = true;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const uint8_t tile = t.tile(c, r);
            if (!(tile & GlTexture::TILE_OPAQUE)) allOpaque = false;
            if (!(tile & GlTexture::TILE_VISIBLE)) continue;
            vc0 = std::min(vc0, c), vc1 = std::max(vc1, c);
            vr0 = std::min(vr0, r), vr1 = std::max(vr1, r);
        }
    // A filtered sample near an edge of a repeating texture also reads the opposite edge.
    const bool linear = samplerStates[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR || samplerStates[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    const bool wrapU = linear && samplerStates[D3DSAMP_ADDRESSU] != D3DTADDRESS_CLAMP;
    const bool wrapV = linear && samplerStates[D3DSAMP_ADDRESSV] != D3DTADDRESS_CLAMP;
    auto columnShows = [&](int c) {
        for (int r = r0; r <= r1; ++r)
            if (t.tile(c, r) & GlTexture::TILE_VISIBLE) return true;
        return false;
    };
    auto rowShows = [&](int r) {
        for (int c = c0; c <= c1; ++c)
            if (t.tile(c, r) & GlTexture::TILE_VISIBLE) return true;
        return false;
    };
    const int lastColumn = t.tileColumns() - 1, lastRow = t.tileRows() - 1;
    // (Only where the quad's texels come within half a texel of the edge: a filtered sample reads
    // the texels on either side of it.)
    bool edgeBleeds = false;
    if (wrapU && x0 < 0.5f && lastColumn > 0 && columnShows(lastColumn)) vc0 = 0, edgeBleeds = true;
    if (wrapU && x1 > W - 0.5f && lastColumn > 0 && columnShows(0)) vc1 = lastColumn, edgeBleeds = true;
    if (wrapV && y0 < 0.5f && lastRow > 0 && rowShows(lastRow)) vr0 = 0, edgeBleeds = true;
    if (wrapV && y1 > H - 0.5f && lastRow > 0 && rowShows(0)) vr1 = lastRow, edgeBleeds = true;
    if (vc1 < 0 || vr1 < 0) {
        if (edgeBleeds) return QuadPlan::AS_IS;
        return invisibleZero ? QuadPlan::SKIP : QuadPlan::AS_IS;
    }
    // Opaque only when the filter cannot reach past the texels under the quad: one texel around
    // them lies within tiles that are opaque too.
    if (mayGoOpaque && allOpaque) {
        const int oc0 = std::max(0, int(std::floor(x0)) - 1) / T, oc1 = std::min(int(W) - 1, int(std::ceil(x1))) / T;
        const int or0 = std::max(0, int(std::floor(y0)) - 1) / T, or1 = std::min(int(H) - 1, int(std::ceil(y1))) / T;
        bool around = !(wrapU && (x0 < 0.5f || x1 > W - 0.5f)) && !(wrapV && (y0 < 0.5f || y1 > H - 0.5f));
        for (int r = or0; around && r <= or1; ++r)
            for (int c = oc0; around && c <= oc1; ++c)
                if (!(t.tile(c, r) & GlTexture::TILE_OPAQUE)) around = false;
        opaque = around;
    }
    if (!invisibleZero) return QuadPlan::AS_IS;

    // The visible tiles and one texel around them (what a filtered sample can reach).
    const float nx0 = std::max(x0, float(vc0 * T) - 1.0f), nx1 = std::min(x1, float((vc1 + 1) * T) + 1.0f);
    const float ny0 = std::max(y0, float(vr0 * T) - 1.0f), ny1 = std::min(y1, float((vr1 + 1) * T) + 1.0f);
    if (nx0 <= x0 && nx1 >= x1 && ny0 <= y0 && ny1 >= y1) return QuadPlan::AS_IS;
    // Vertex colours that differ would have to be interpolated: cut only when they are all the same
    // or the stage does not read them.
    if ((in[0].color != in[1].color || in[0].color != in[2].color || in[0].color != in[3].color) && stageReadsDiffuse(stage))
        return QuadPlan::AS_IS;
    const float su0 = (nx0 - x0) / (x1 - x0), su1 = (nx1 - x0) / (x1 - x0);
    const float sv0 = (ny0 - y0) / (y1 - y0), sv1 = (ny1 - y0) / (y1 - y0);
    for (int i = 0; i < 4; ++i) {
        const bool uHigh = in[i].u == uMax, vHigh = in[i].v == vMax;
        const float su = uHigh ? su1 : su0, sv = vHigh ? sv1 : sv0;
        QuadVertex& o = out[i];
        o = in[i];
        o.x = p00.x + su * (p10.x - p00.x) + sv * (p01.x - p00.x);
        o.y = p00.y + su * (p10.y - p00.y) + sv * (p01.y - p00.y);
        o.z = p00.z + su * (p10.z - p00.z) + sv * (p01.z - p00.z);
        o.u = (uHigh ? nx1 : nx0) / W;
        o.v = (vHigh ? ny1 : ny0) / H;
    }
    return QuadPlan::TRIMMED;
}

HRESULT GlDevice::ValidateDevice(DWORD* numPasses) {
    if (numPasses) *numPasses = 1;
    return D3D_OK;
}

void GlDevice::SetGammaRamp(UINT, DWORD, const D3DGAMMARAMP* ramp) {
    if (!ramp) return;
    gammaRamp = *ramp;
    // Only a full-screen display takes a ramp; a refusal by the display changes nothing.
    if (!present.Windowed) SDL_SetWindowGammaRamp(window, gammaRamp.red, gammaRamp.green, gammaRamp.blue);
}

void GlDevice::GetGammaRamp(UINT, D3DGAMMARAMP* ramp) {
    if (ramp) *ramp = gammaRamp;
}

HRESULT GlDevice::GetBackBufferPixels(UINT* width, UINT* height, std::vector<D3DCOLOR>* pixels) {
    if (!width || !height || !pixels) return D3DERR_INVALIDCALL;
    makeCurrent();
    flushDraws();
    bindTarget();
    if (shown != Shown::NOTHING) {
        // Between frames the window's back buffer holds nothing for sure: the frame last shown
        // is drawn into it again.
        drawRecorded(shownDraws, shownVertices);
        applyViewportAndScissor();
        applyBlendAndCull();
        applySampler();
    }
    *pixels = readTarget();
    if (bTargetChosen) glBindFramebuffer(GL_FRAMEBUFFER, target);
    *width = present.BackBufferWidth;
    *height = present.BackBufferHeight;
    return D3D_OK;
}
