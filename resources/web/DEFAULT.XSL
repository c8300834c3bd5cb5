<?xml version="1.0" encoding="UTF-8"?>
<!-- The built-in page template. Per page the compilers fill in the viewport
     and author meta elements, keep the head's first script only for web
     applications, put the page's scripts after title, set the tests of the
     body's two xsl:if elements to the page's change stamp (the first shows the
     cache warning to a browser that holds an old copy, the second the page),
     and fill the cells that follow the comments logo, title, menu, plan and
     bottom. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" indent="no" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="Tarnwell" />
				<script type="text/javascript">if (window.navigator.standalone) { document.addEventListener('click', function (e) { var a = e.target; while (a) { if (a.tagName) { if (a.tagName.toLowerCase() == 'a') { break; } } a = a.parentNode; } if (a) { if (a.href) { if (a.target != '_blank') { e.preventDefault(); window.location.href = a.href; } } } }, false); }</script>
				<link rel="stylesheet" type="text/css" href="STYLE.CSS" />
				<link rel="icon" type="image/x-icon" href="FAVICON.ICO" />
				<script type="text/javascript" src="REFCLR.JS" charset="utf-8"></script>
				<title><xsl:value-of select="/PAGE/@TITLE" /></title>
			</head>
			<body onload="">
				<xsl:if test="false()">
					<div id="cachewarning" class="cachewarning">&#160;</div>
				</xsl:if>
				<xsl:if test="true()">
					<table class="layout" cellspacing="0" cellpadding="0">
						<tr class="top">
							<!--logo-->
							<td class="logo">&#160;</td>
							<!--title-->
							<td class="title"><h1><xsl:value-of select="/PAGE/@TITLE" /></h1></td>
						</tr>
						<tr class="main">
							<!--menu-->
							<td id="menu">&#160;</td>
							<!--plan-->
							<td class="plan">&#160;</td>
						</tr>
						<!--bottom-->
						<tr class="bottom">
							<td class="foot" colspan="2">&#160;</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
