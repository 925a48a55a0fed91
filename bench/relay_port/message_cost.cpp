// Build and parse cost per message. Baseline: copying the finished package
// into a fresh buffer, the least any sender or receiver does with it.
#include <flatbuffers/flatbuffers.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_common.h"
#include "relay_port/message_builder.h"
#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace relay_bench {
namespace {

using relay_port::wire::Package;
namespace msg = relay_port::msg;

volatile size_t g_sink;

// A server's reading of the package: header, verifier, every field.
template <class T, class Read>
void ParseClientPackage(const Package& p, Read read) {
    relay_port::wire::PackageView view;
    relay_port::wire::ReadPackage(p.data(), p.size(), &view);
    flatbuffers::Verifier verifier(view.body, view.bodyLength);
    if (!verifier.VerifyBuffer<T>(nullptr)) return;
    g_sink = g_sink + read(*flatbuffers::GetRoot<T>(view.body));
}

void Report(const char* name, size_t bytes, double buildNs, double parseNs, double copyNs) {
    printf("  %-22s %6zu B  build %8.1f ns (%5.2fx copy)  parse %8.1f ns (%5.2fx copy)  copy %6.1f ns\n", name,
           bytes, buildNs, buildNs / copyNs, parseNs, parseNs / copyNs, copyNs);
}

template <class Build, class Parse>
void Measure(const char* name, size_t n, Build build, Parse parse) {
    Package sample = build();
    Escape(sample.data());
    double buildNs = NsPerCall(n, [&](size_t) { g_sink = g_sink + build().size(); });
    double parseNs = NsPerCall(n, [&](size_t) { parse(sample); });
    double copyNs = NsPerCall(n, [&](size_t) {
        Package copy(sample.size());
        std::memcpy(copy.data(), sample.data(), sample.size());
        g_sink = g_sink + static_cast<size_t>(copy[copy.size() - 1]);
    });
    Report(name, sample.size(), buildNs, parseNs, copyNs);
}

}  // namespace

void RunMessageCost() {
    printf("message cost per call (baseline: copy of the same package)\n");
    const size_t n = 200000;
    uint32_t xs[8], ys[8];
    for (int i = 0; i < 8; ++i) {
        xs[i] = 100 + 10 * i;
        ys[i] = 900 - 10 * i;
    }
    Measure("touch, 8 points", n, [&] { return relay_port::wire::BuildTouchReq(2, xs, ys, 8); },
            [](const Package& p) {
                ParseClientPackage<msg::TouchReq>(p, [](const msg::TouchReq& t) {
                    size_t sum = t.action();
                    if (auto pts = t.points())
                        for (const msg::Point* pt : *pts) sum += pt->x() + pt->y();
                    return sum;
                });
            });
    Measure("key", n, [] { return relay_port::wire::BuildKeyReq(1, 30); },
            [](const Package& p) {
                ParseClientPackage<msg::KeyReq>(p, [](const msg::KeyReq& t) { return size_t(t.key() + t.flag()); });
            });
    std::string text(1024, 'k');
    Measure("input string, 1 KiB", n / 4,
            [&] { return relay_port::wire::BuildTextReq(relay_port::wire::kInputString, text.data(), text.size()); },
            [](const Package& p) {
                ParseClientPackage<msg::TextReq>(p, [](const msg::TextReq& t) {
                    return t.text() ? size_t(t.text()->size()) : size_t(0);
                });
            });
}

}  // namespace relay_bench
