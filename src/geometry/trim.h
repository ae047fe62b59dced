// Cutting paths and moving their ends: trim, extend, break and lengthen,
// as pure functions of a path and path parameters (see path.h).
#pragma once

#include <vector>

#include "geometry/path.h"
#include "geometry/spline.h"

namespace vestrel {

// The path parameters where the cutting edges, and the curves of splines
// among them, cross the path (each edge taken as it is, not extended),
// sorted, each once.
std::vector<double> CutParameters(const Path& path, const std::vector<Piece>& edges,
                                  const std::vector<Spline>& curves = {});

// What stays of `path` when the user clicks it at parameter `picked`,
// `cuts` being where the cutting edges cross it: the part between the
// cuts either side of the click goes. An open path keeps what lies before
// the cut below the click and after the one above it (one or two paths);
// a closed one needs two cuts and stays as one open path from the cut
// after the click round to the one before it. Cuts at an open path's ends
// do not count. NoCut when nothing would go but the whole object.
Outcome<std::vector<Path>> Trim(const Path& path, std::vector<double> cuts, double picked);

// An open path with its start (or, `atEnd`, its end) carried to the
// nearest boundary ahead of it: a line along its direction, an arc along
// its circle (less than a whole turn), an elliptic arc along its ellipse.
// Boundaries are taken as they are. NoBoundary when none lies ahead.
Outcome<Path> Extend(const Path& path, bool atEnd, const std::vector<Piece>& boundaries,
                     const std::vector<Spline>& curves = {});

// The path split at u: an open path into the parts before and after
// (either left out when it would have no length), a closed one opened
// there into one open path from u round to u.
Outcome<std::vector<Path>> BreakAt(const Path& path, double u);

// The path without the part from u0 to u1: an open path keeps what lies
// outside [min, max] (one or two paths); a closed one keeps the way from
// u1 on round to u0 (the part removed is the one from u0 forward to u1).
// ZeroLength when nothing would remain.
Outcome<std::vector<Path>> BreakBetween(const Path& path, double u0, double u1);

// An open path made longer at its end (or start) by `delta`, or shorter
// for a negative one: a line along its direction, an arc along its circle,
// an elliptic arc along its ellipse. ZeroLength when nothing would
// remain; FullTurn when an arc would close on itself.
Outcome<Path> Lengthen(const Path& path, bool atEnd, double delta);
// The same to a total length.
Outcome<Path> LengthenTo(const Path& path, bool atEnd, double total);

// The same for a spline's curve, by its own parameter, `closed` when its
// ends meet and it is meant to close: what is left are curves of their own
// that trace exactly what stays (SubSpline), a closed curve's from the cut
// after the part that goes round through its start to the cut before it.
std::vector<double> CutParameters(const Spline& s, bool closed, const std::vector<Piece>& edges,
                                  const std::vector<Spline>& curves);
Outcome<std::vector<Spline>> Trim(const Spline& s, bool closed, std::vector<double> cuts, double picked);
Outcome<std::vector<Spline>> BreakAt(const Spline& s, bool closed, double v);
Outcome<std::vector<Spline>> BreakBetween(const Spline& s, bool closed, double v0, double v1);
// An open curve carried on at its end (or start) along its end span's
// polynomial (ExtendSpline): to the nearest boundary ahead within `reach`
// of its end, or by a length (in the plan; shorter for a negative one).
Outcome<Spline> Extend(const Spline& s, bool atEnd, const std::vector<Piece>& boundaries,
                       const std::vector<Spline>& curves, double reach);
Outcome<Spline> Lengthen(const Spline& s, bool atEnd, double delta);
Outcome<Spline> LengthenTo(const Spline& s, bool atEnd, double total);

}  // namespace vestrel
