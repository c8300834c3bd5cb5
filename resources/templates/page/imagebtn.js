Image button: the post function shows the pressed picture and brings the
normal one back after the button's time.
@@ post-begin
function PostXML%%element%%() {
PostXML('%%target%%', encodeURIComponent('%%identifier%%=%%value%%')%%third%%); 
@@ pressed
SetBg('INPUT%%element%%', '%%image%%');
@@ restore
setTimeout("SetBg('INPUT%%element%%', '%%image%%');",%%timeout%%);
@@ post-end
}
