/* Pages with notifications: the notification frame (element "notiframe",
   the page NOTIFY/NOTIFRAM.HTM) stands in the bottom right corner of the
   window. This script adds it when the page has none and keeps it there when
   the window is resized or scrolled. */

var gNotiFrameWidth = 260;
var gNotiFrameHeight = 90;
var gNotiFrameMargin = 8;

// Where the frame stands in a window of the given inner size.
function NotiFramePlace(windowWidth, windowHeight) {
  return {
    left: Math.max(0, windowWidth - gNotiFrameWidth - gNotiFrameMargin),
    top: Math.max(0, windowHeight - gNotiFrameHeight - gNotiFrameMargin)
  };
}

function NotiFrameMove() {
  var frame = document.getElementById('notiframe');
  if (!frame) return;
  var place = NotiFramePlace(window.innerWidth, window.innerHeight);
  frame.style.left = place.left + 'px';
  frame.style.top = place.top + 'px';
}

function NotiFrameCreate() {
  var frame = document.getElementById('notiframe');
  if (!frame) {
    frame = document.createElement('iframe');
    frame.id = 'notiframe';
    frame.src = 'NOTIFY/NOTIFRAM.HTM';
    frame.title = 'Notifications';
    document.body.appendChild(frame);
  }
  frame.style.position = 'fixed';
  frame.style.width = gNotiFrameWidth + 'px';
  frame.style.height = gNotiFrameHeight + 'px';
  frame.style.border = '1px solid #2c5a8a';
  frame.style.zIndex = '1000';
  NotiFrameMove();
}

if (typeof window !== 'undefined' && window.addEventListener) {
  window.addEventListener('load', NotiFrameCreate);
  window.addEventListener('resize', NotiFrameMove);
  window.addEventListener('scroll', NotiFrameMove);
}
