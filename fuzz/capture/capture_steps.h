#pragma once
// The capture steps: each talks to the local cloud (or its node) with the
// project's own request and package builders and records what went each way.
#include <string>

#include "cloudsim/cloud_sim.h"
#include "corpus_writer.h"

namespace fuzz_capture {

// Signed platform calls of every endpoint: bodies for the cloud's verifier,
// answers for the client's parsers. Returns the statistics key pair the
// security-token answer carried (ak, sk), for the configuration file.
bool CapturePlatform(cloudsim::CloudSim& cloud, CorpusWriter& corpus, std::string& statAk, std::string& statSk);

// One stream connection: every client package and the cloud's answers,
// media packages and the sequence parameter sets of the video.
bool CaptureStream(cloudsim::CloudSim& cloud, CorpusWriter& corpus);

// A group-control node session: register, control, status and input.
bool CaptureNode(CorpusWriter& corpus);

// The data hub's configuration file as the hub writes it.
bool CaptureHubConfig(CorpusWriter& corpus, const std::string& statAk, const std::string& statSk);

}  // namespace fuzz_capture
