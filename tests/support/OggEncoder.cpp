#include "support/OggEncoder.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>

std::vector<float> makeTone(double hz, int rate, int frames, int channels, float amplitude) {
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        float v = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c) out[static_cast<size_t>(i) * channels + c] = v;
    }
    return out;
}

std::string encodeOgg(const std::vector<float>& frames, int channels, int rate) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.6f) != 0) std::abort();
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    std::string out;
    auto writePage = [&](const ogg_page& page) {
        out.append(reinterpret_cast<const char*>(page.header), page.header_len);
        out.append(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) writePage(page);

    const int total = static_cast<int>(frames.size() / channels);
    int done = 0;
    bool eos = false;
    while (!eos) {
        int n = std::min(1024, total - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) buffer[c][i] = frames[static_cast<size_t>(done + i) * channels + c];
            vorbis_analysis_wrote(&vd, n);
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    writePage(page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (n <= 0 && !eos) {
            while (ogg_stream_flush(&os, &page)) {
                writePage(page);
                if (ogg_page_eos(&page)) eos = true;
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
