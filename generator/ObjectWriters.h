#pragma once
// The writers of the page-object kinds. Each writes the markup of one object
// under the writer's parent, its data entries and its script lines; the
// markup and script texts are the templates "PAGE_<KIND>_XSL" and
// "PAGE_<KIND>_JS" (resources/templates/page/).

struct TObjectWriter;

void WriteLabel(TObjectWriter& writer);
void WriteBlock(TObjectWriter& writer);
void WritePicture(TObjectWriter& writer);
void WriteIframe(TObjectWriter& writer);
void WriteCamera(TObjectWriter& writer);
void WriteStringImage(TObjectWriter& writer);
void WriteEdit(TObjectWriter& writer);
void WriteDropdown(TObjectWriter& writer);
void WriteSubmit(TObjectWriter& writer);
void WritePostFile(TObjectWriter& writer);
void WriteTwoStateImage(TObjectWriter& writer);
void WriteImageButton(TObjectWriter& writer);
void WriteMultiStateImage(TObjectWriter& writer);
void WriteCanvas(TObjectWriter& writer);
