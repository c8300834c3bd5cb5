Drawing canvas: draws the canvas from its DATA entry and posts its touches
with the next answer (generator/CanvasBuffer.md).
@@ update
ProcessCanvas(Input%%element%%, d[%%data%%],%%index%%);
%%level%%if((gLCI[%%index%%]!=gCI[%%index%%].i)||ChckLt(gCI[%%index%%])){
pd+=PostCanvas(pd.length>0,gCI[%%index%%],'%%x%%','%%y%%','%%colour%%');
gLCI[%%index%%]=gCI[%%index%%].i;
if(gCI[%%index%%].i.e==1)gCI[%%index%%].i=NullCI();}
