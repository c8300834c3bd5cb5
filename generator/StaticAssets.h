#pragma once
// The asset step of a compile: after the project compiler, the fixed files of
// the output tree (the page and form styles, the cache-warning script, the
// site icon, the navigation pictures, the login and logout pages with the
// digest script, the JSON-map client and the notification files) are written
// from the module's embedded resources, in one fixed order.
//
// Per asset: it is skipped when its condition does not hold (the JSON-map
// client only when a page has a JSON map, the notification files only when a
// page has notifications) or when the import folder brought a file of that
// path (most assets; compared without regard to case). Some assets may be
// replaced by a user copy of the same name in the host's scripts folder,
// copied keeping its file times over whatever an earlier compile left there.
// The site icon is the project's icon picture when the project names one that
// exists (a FAVICON.ICO from the import folder then stays), else the built-in
// icon, written over whatever is there.
//
// Every file written is registered in the generated-file table and counted
// (the navigation pictures and a copied icon picture as images). A file that
// cannot be written or copied sets kCompileErrorFile and the remaining assets
// are still written; a failed write takes its count back. A compile of the
// data pages alone keeps the assets of the last full compile and writes only
// those that are not there, which its pages refer to.

struct TCompileContext;
struct TCompileProject;
struct TCompileState;
class TCompileHost;
class TGeneratedFiles;

// The output root is `state.outputRoot`; the folders "IMAGES" and, for
// projects with a notification page, "NOTIFY" must exist (the compile
// creates them first); "JS" is created here when the JSON-map client is
// written.
void WriteStaticAssets(const TCompileProject& project, TCompileState& state, TCompileHost& host,
                       TGeneratedFiles& files);
void WriteStaticAssets(TCompileContext& context);
