Picture chosen by a string variable: a new address replaces the picture.
@@ update
if(x[%%index%%].getAttribute('VALUE') != Input%%element%%.src) {
Input%%element%%.src = x[%%index%%].getAttribute('VALUE');}
