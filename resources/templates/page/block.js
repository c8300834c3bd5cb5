Rectangle: the post function of a clickable rectangle, the update lines of a
rectangle driven by its variable (a colour, or a bar that grows from its
near edge or keeps its far edge in place).
@@ post
function PostXML%%element%%() {
PostXML('%%target%%', encodeURIComponent('%%identifier%%=%%value%%')%%third%%); 
}
@@ colour
if(Input%%element%%) {Input%%element%%.style.backgroundColor = GetColor(x[%%index%%].getAttribute('VALUE'));}
@@ grow
if(Input%%element%%) {Input%%element%%.style.%%size%% = Math.max(0,eval(x[%%index%%].getAttribute('VALUE'))%%less%%)+'px';}
@@ shrink
if(Input%%element%%) {Input%%element%%.style.%%size%% = Math.max(0,eval(x[%%index%%].getAttribute('VALUE'))%%less%%)+'px';
Input%%element%%.style.%%edge%% = eval(%%far%% - Math.max(0,eval(x[%%index%%].getAttribute('VALUE'))%%less%%))+'px';}
