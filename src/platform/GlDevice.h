#pragma once
// The Direct3D 9 device on OpenGL 3.3 core. When the window has the presentation size the frame is
// drawn straight into the window's back buffer; otherwise the back buffer is a framebuffer object
// of exactly the presentation size, copied into the window at Present with its proportions kept. One shader
// pair reproduces texture stage 0 and the alpha test; the scissor follows the viewport; Direct3D's
// pixel centres and clip depth are kept.
//
// Device loss never comes from OpenGL itself: the device reports it while its full-screen window
// is minimised, and tests can force a loss or make resets fail.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/D3D9.h"

using GLenumValue = unsigned int;
class GlTexture;
class GlVertexBuffer;

class GlDevice : public IDirect3DDevice9 {
public:
    explicit GlDevice(SDL_Window* window);
    ~GlDevice() override;
    // Creates the context, shaders and back buffer; D3DERR_NOTAVAILABLE when OpenGL 3.3 is missing.
    HRESULT init(const D3DPRESENT_PARAMETERS& params);
    // Asks SDL for an OpenGL 3.3 core context (before a window or context is created).
    static void setContextAttributes();
    void makeCurrent();
    void forgetVertexBuffer(GlVertexBuffer* buffer);
    void forgetTexture(GlTexture* texture);

    ULONG AddRef() override { return ++refCount; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    UINT GetAvailableTextureMem() override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow, const void* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               void* sharedHandle) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* sharedHandle) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT ValidateDevice(DWORD* numPasses) override;
    void SetGammaRamp(UINT swapChain, DWORD flags, const D3DGAMMARAMP* ramp) override;
    void GetGammaRamp(UINT swapChain, D3DGAMMARAMP* ramp) override;
    HRESULT GetBackBufferPixels(UINT* width, UINT* height, std::vector<D3DCOLOR>* pixels) override;

    // Test hooks: a forced loss lasts until endForcedLoss, then the device waits for a reset;
    // the next n resets fail with D3DERR_INVALIDCALL.
    void forceLoss();
    void endForcedLoss();
    void failNextResets(int n) { failingResets = n; }
    int resetCount = 0;
    // Frames copied from the framebuffer object into a window of another size.
    int presentCopies = 0;
    // Textured quads cut to the texels that can show, left out because none can, and drawn
    // without blending because all they show is opaque. bCutQuads off draws every quad as given.
    bool bCutQuads = true;
    int quadsCut = 0, quadsLeftOut = 0, quadsOpaque = 0;
    // Draws wait in a queue until the frame is shown or read (or a clear or a texture write comes):
    // then those wholly hidden behind opaque draws that come after them, tile by tile of
    // HIDDEN_TILE x HIDDEN_TILE pixels, are left out, and quads are cut to their tiles that show.
    // bSkipHidden off draws every queued draw as it came.
    // A blended draw's tiles that show only opaque texels (where blending and the alpha test would
    // leave those as they are) go as a draw of their own without blending or alpha test
    // (bDrawOpaquePartsApart off keeps them in the blended draw).
    static constexpr int HIDDEN_TILE = 8;
    bool bSkipHidden = true;
    bool bDrawOpaquePartsApart = true;
    int drawsHidden = 0, quadsCutHidden = 0, drawsPartedOpaque = 0;
    // Draws the queued draws now (atPresent: they end the frame about to be shown).
    void flushDraws(bool atPresent = false);
    // A frame drawn at once as it is shown, into a target that still holds the frame before it
    // (the window's back buffer when it was copied into the window rather than swapped or when
    // the driver says it holds that frame, or the framebuffer object), is drawn only where the
    // two frames' draws differ; the rest of the target is kept as it is.
    // bRedrawChangesOnly off draws every frame whole.
    bool bRedrawChangesOnly = true;
    static constexpr int CHANGE_TILE = 16;  // the changed areas are whole tiles of this many pixels
    static_assert(CHANGE_TILE % HIDDEN_TILE == 0, "changed areas are made of whole hidden-draw tiles");
    int framesDrawnInPart = 0;
    // The frame in the drawing target as it stands, top row first as GetBackBufferPixels gives
    // it, without drawing it again (a test hook: after Present, what the target kept of the frame
    // shown).
    std::vector<D3DCOLOR> readTargetPixels();
    // The frame's draws so far that were drawn (clears aside), as they were planned: each one's
    // mode, vertex count and stride, then its vertices' bytes.
    std::vector<uint8_t> frameDrawnVertices() const;
    // Fragments shaded in the last frame presented (Mesa's pipeline statistics; -1 when the driver
    // cannot count them or counting is off). Counting is on with VESK_DRAW_STATS set, which also
    // prints a summary every 50 frames on standard error.
    int64_t lastFrameFragments = -1;
    bool bCountFragments = false;

    // Number of vertices a draw of 'count' primitives of a type reads (0 for an unknown type).
    static UINT verticesForPrimitives(D3DPRIMITIVETYPE type, UINT count);

    // Number of fragment programs built so far.
    size_t fragmentProgramCount() const { return programs.size(); }

private:
    HRESULT applyPresentation(const D3DPRESENT_PARAMETERS& params);
    void setDefaultStates();
    bool isLostNow();
    void applyViewportAndScissor();
    void applyBlendAndCull();
    void applySampler();
    // Binds the frame's drawing target, choosing it at the first use after a Present.
    void bindTarget();
    void clearOutsideViewport(bool whole);
    enum class QuadPlan { AS_IS, SKIP, TRIMMED };
    // For a strip of four vertices at 'data' over texture t: whether to draw it as it is, leave it
    // out, or draw the cut quad written to 'trimmed'; 'opaque' when it may go without blending.
    QuadPlan planQuad(const GlTexture& t, const void* data, void* trimmed, bool& opaque) const;
    void beginFrameStatistics();
    void endFrameStatistics();
    // A draw as it was asked for, with the states it needs, waiting in the queue.
    struct QueuedDraw {
        GLenumValue mode;
        UINT vertexCount, stride;
        size_t firstByte;  // in queuedVertices
        IDirect3DBaseTexture9* texture;  // held while queued; null when untextured
        GlTexture* glTexture;            // the same texture as the device's own kind, or null
        bool blend, opaque, mayGoOpaque, invisibleZero, skip;
        DWORD srcBlend, destBlend, cull, colorWrite, alphaFunc, alphaRef, factor;
        DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
        DWORD addressU, addressV, magFilter, minFilter;
        bool readsDiffuse;
        bool withinAreas;  // cut to the areas of a frame drawn in part
        float matrix[16];
        D3DVIEWPORT9 viewport;
    };
    // Leaves out or cuts the queued draws hidden behind later opaque ones (and, given areas, those
    // outside them: the draws it cuts are then marked withinAreas).
    void skipHiddenDraws(const std::vector<std::array<int, 4>>* areas = nullptr);
    static constexpr int OUTSIDE_AREAS = INT32_MAX;
    std::vector<char> tileKinds;  // skipHiddenDraws's record of each screen tile of a draw
    // skipHiddenDraws's working memory, kept from frame to frame so that planning allocates nothing
    // once it has grown to the frames drawn.
    struct HiddenPlan;
    std::unique_ptr<HiddenPlan> plan;
    void dropQueuedDraws();
    // Draws recorded draws (and clears) with their states; only within 'areas' (rectangles as x0,
    // y0, x1, y1 from the bottom left, x1 and y1 excluded, apart from each other) when given.
    void drawRecorded(const std::vector<QueuedDraw>& draws, const std::vector<uint8_t>& bytes,
                      const std::vector<std::array<int, 4>>* areas = nullptr);
    // The pixels a draw (or a clear) may touch, as x0, y0, x1, y1 from the bottom left (x1 and y1
    // excluded; empty when x1 <= x0 or y1 <= y0).
    std::array<int, 4> footprint(const QueuedDraw& d, const uint8_t* bytes) const;
    // A draw's mark: what it draws (its mode, states, vertices and texture contents, hashed) and
    // its footprint; a clear of every colour channel is marked as such.
    struct DrawMark {
        uint64_t hash;
        std::array<int, 4> area;
        bool clearsAll;
    };
    // The frame's marks so far, and those of the frame the target holds (when bLastMarksHeld).
    std::vector<DrawMark> frameMarks, lastMarks;
    bool bLastMarksHeld = false;
    bool bFlushedThisFrame = false;  // some of the frame to be shown was drawn already
    void markQueuedDraws();
    // The drawing target's pixels, top row first.
    std::vector<D3DCOLOR> readTarget() const;
    // Cuts the queued draws of triangles that map to the screen without perspective to the
    // areas (each then marked withinAreas); the others are drawn within each area in turn.
    void clipToAreas(const std::vector<std::array<int, 4>>& areas);
    void forgetTargetContents();
    // The areas where the frame's marks differ from the target's, apart from each other; false
    // when the frame is to be drawn whole.
    bool changedAreas(std::vector<std::array<int, 4>>& areas);
    std::vector<char> changedTiles;  // changedAreas's working memory
    void dropFrames();
    // The frame drawn so far becomes the frame last shown; 'kept' when the target still holds it.
    enum class Shown { NOTHING, IN_WINDOW, IN_FRAMEBUFFER };
    void frameShown(Shown where, bool kept);
    // A recorded clear (its rectangles, as x, y, width, height from the bottom left, where a
    // draw has its vertices).
    static constexpr GLenumValue CLEAR_MODE = 0xFFFFFFFFu;
    // The frame's draws and clears so far, and those of the frame last shown.
    std::vector<QueuedDraw> frameDraws, shownDraws;
    std::vector<uint8_t> frameVertices, shownVertices;
    std::vector<QueuedDraw> queuedDraws;
    std::vector<uint8_t> queuedVertices;

    SDL_Window* window;
    void* context = nullptr;
    ULONG refCount = 1;
    D3DPRESENT_PARAMETERS present;
    uint32_t framebuffer = 0, colorTexture = 0;
    uint32_t target = 0;  // 0: the window's back buffer
    bool bTargetChosen = false;
    bool bFramebufferReady = false;  // the framebuffer object has its storage
    // Where the frame last shown can still be read until the next frame draws.
    Shown shown = Shown::NOTHING;
    int settledWidth = 0, settledHeight = 0;
    bool bSizeSettled = false;  // the window's back buffer surely has the window's size
    uint32_t vertexShader = 0, vertexArray = 0, sampler = 0, scratchBuffer = 0;
    uint32_t fragmentQuery = 0;
    bool bQueryRunning = false;
    int statFrames = 0, statPartFrames = 0;
    int64_t statFragments = 0;
    uint64_t statViewportPixels = 0;
    enum Uniform { U_MATRIX, U_PIXEL_OFFSET, U_TEXTURE_FACTOR, U_ALPHA_REF, U_COUNT };
    // A program specialised for one fragment program key; name 0 when it could not be built.
    struct Program {
        uint32_t name = 0;
        int uniforms[U_COUNT] = {};
    };
    std::unordered_map<uint32_t, Program> programs;
    // The key of the fragment program specialised for a draw's stage-0 operations and arguments,
    // texturing and alpha-test function (0 for none; ALWAYS needs no test), and its source text.
    static uint32_t fragmentProgramKey(bool textured, DWORD colorOp, DWORD colorArg1, DWORD colorArg2, DWORD alphaOp,
                                       DWORD alphaArg1, DWORD alphaArg2, DWORD alphaFunc);
    static std::string fragmentProgramSource(uint32_t key);
    // The program for a key, built at its first use; null when the driver refuses it.
    const Program* programFor(uint32_t key);
    D3DVIEWPORT9 viewport;
    D3DMATRIX world, view, projection;
    DWORD renderStates[D3DRS_COUNT] = {};
    DWORD stageStates[8][D3DTSS_COUNT] = {};
    DWORD samplerStates[D3DSAMP_COUNT] = {};
    DWORD fvf = 0;
    IDirect3DBaseTexture9* texture = nullptr;
    GlVertexBuffer* streamBuffer = nullptr;
    UINT streamOffset = 0, streamStride = 0;
    D3DGAMMARAMP gammaRamp;
    bool bInScene = false;
    bool bLossForced = false;
    bool bNeedsReset = false;
    int failingResets = 0;
    std::unordered_set<GlVertexBuffer*> vertexBuffers;
    std::vector<GlTexture*> textures;
};
