<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();"></form>
									<form method="post" action="PAGE1.XML" enctype="multipart/form-data" style="position: absolute; top: 16px; left: 8px; z-index: 1;">
										<div style="display:none; height: 24px; overflow: visible; color: #FF0000; background-color: #FFFFFF;"></div>
										<input title="Upload" class="mono" type="file" onchange="postFileSubmit(this.form,'#FF0000')" size="13" style="width: 184px; color: #FF0000; background-color: #FFFFFF; border: none;" name="__R20_STRING[80]_s" />
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
