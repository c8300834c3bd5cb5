Inserted web page: the frame loads the variable's address only when it changed.
@@ update
var Input%%element%%h = document.getElementById('INPUT%%element%%h');
Input%%element%%h.href = x[%%index%%].getAttribute('VALUE');
if(Input%%element%%.src != Input%%element%%h.href) Input%%element%%.src = x[%%index%%].getAttribute('VALUE');
